// The one process-wide lock of the library.
#pragma once

namespace pl::platform {

// Creates the lock, not owned. Returns false when the platform cannot.
bool lock_create();
void lock_acquire();
void lock_release();
// Destroys the lock; lock_create may be called again afterwards.
void lock_close();

}  // namespace pl::platform
