/* A C11 program using the shared library through the public header. */
#include <polyloc.h>
#include <stdio.h>
#include <string.h>

static int32_t count_items(void *user, int32_t kind, const char *name) {
  int *count = (int *)user;
  if (kind < PL_KIND_LANGUAGE || kind > PL_KIND_COLLATION || name[0] == '\0') return 0;
  ++*count;
  return 1;
}

int main(int argc, char **argv) {
  int count = 0;
  PLState state = 1;
  if (argc != 2) return 2;
  if (PLInit(argv[1], NULL, NULL, NULL, 0) != PL_OK) return 1;
  if (PLEnumLocales(count_items, &count) != PL_OK || count < 3) return 1;
  PLInitState(NULL, &state);
  if (state != 0 || PLGetError(NULL) != PL_OK) return 1;
  if (PLTerm() != PL_OK) return 1;
  printf("%d locale items\n", count);
  return 0;
}
