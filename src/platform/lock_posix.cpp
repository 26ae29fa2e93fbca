#include "platform/lock.h"

#include <pthread.h>

namespace pl::platform {
namespace {
pthread_mutex_t g_mutex;
}

bool lock_create() { return pthread_mutex_init(&g_mutex, nullptr) == 0; }

void lock_acquire() { pthread_mutex_lock(&g_mutex); }

void lock_release() { pthread_mutex_unlock(&g_mutex); }

void lock_close() { pthread_mutex_destroy(&g_mutex); }

}  // namespace pl::platform
