// The subcommands of the polyloc tool. Each takes the arguments after its name and
// returns the process exit code: 0 success, 1 failure, 2 bad arguments.
#pragma once

int convert_command(int argc, char **argv);
int date_command(int argc, char **argv);
int grep_command(int argc, char **argv);
int info_command(int argc, char **argv);
int locales_command(int argc, char **argv);
int map_command(int argc, char **argv);
int number_command(int argc, char **argv);
int printf_command(int argc, char **argv);
int sort_command(int argc, char **argv);
