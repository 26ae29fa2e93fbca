// polyloc: shows what the library sees in a locale directory.
#include <cstdio>
#include <cstring>

#include "commands.h"
#include "locale/layouts/container.h"

namespace {

struct Command {
  const char *name;
  const char *synopsis;
  int (*run)(int, char **);
};

constexpr Command kCommands[] = {
    {"locales", "locales [--dir DIR]              list every language, territory, code set and collation",
     locales_command},
    {"info", "info LOCALE [ITEM...] [--dir DIR]  the information items of a locale, in UTF-8",
     info_command},
    {"convert", "convert -f LOCALE -t LOCALE [--replace] [--dir DIR] [FILE...]  convert text like iconv(1); --list: the code sets",
     convert_command},
    {"map", "map --upper|--lower|--upper-simple|--lower-simple|--fullwidth|--halfwidth|--digits"
            " -l LOCALE [--dir DIR] [FILE...]  map text like tr(1)",
     map_command},
    {"sort", "sort -l LOCALE [--ignore-case|--ignore-width] [--reverse] [--unique] [--dir DIR] [FILE...]"
             "  sort lines by the locale's collation like sort(1)",
     sort_command},
    {"number", "number -l LOCALE [--currency [--intl]] [--dir DIR] VALUE...  format numbers with the locale's"
               " conventions;\n           --parse [--base N] [--currency] [--digits]: read them back",
     number_command},
    {"printf", "printf -l LOCALE [--dir DIR] FORMAT [ARG...]  format the arguments like printf(1), with the"
               " locale's\n           conventions, in its code set",
     printf_command},
    {"date", "date -l LOCALE [--dir DIR] [-d TEXT -p FORMAT] [+FORMAT]  the time now, or TEXT read under"
             " FORMAT,\n           in the locale's names, formats and code set, like date(1)",
     date_command},
    {"grep", "grep -l LOCALE [--dir DIR] [-E|-F] [-i] [-n] [-o] [-c] [-v] PATTERN [FILE...]  print the"
             " lines\n           that match, like grep(1), in the locale's code set",
     grep_command},
};

void usage(FILE *out) {
  std::fprintf(out, "usage: polyloc COMMAND [ARGS]\n\ncommands:\n");
  for (const Command &command : kCommands) std::fprintf(out, "  %s\n", command.synopsis);
  std::fprintf(out,
               "\nWithout --dir the locale directory is taken from PL_LOCALEDIR, else the\n"
               "installed default; without a readable one the built-in set stands in.\n");
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 2) {
    usage(stderr);
    return 2;
  }
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    usage(stdout);
    return 0;
  }
  if (std::strcmp(argv[1], "--version") == 0) {
    std::printf("%s\n", pl::layout::kVersionString + std::strlen("POLYLOCVERSION_STRING="));
    return 0;
  }
  for (const Command &command : kCommands)
    if (std::strcmp(argv[1], command.name) == 0) return command.run(argc - 2, argv + 2);
  std::fprintf(stderr, "polyloc: unknown command \"%s\"\n", argv[1]);
  usage(stderr);
  return 2;
}
