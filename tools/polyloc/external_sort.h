// Sorting (key, line) records by their keys in bounded memory, the way sort(1) does:
// records gather in memory up to a limit, each full batch is sorted and written as a
// run to one temporary file, and the runs are merged with a heap at the end.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

class ExternalSort {
 public:
  // Receives the records in order; false stops the sort (having said why).
  using Emit = std::function<bool(const std::string &key, const std::string &line)>;

  // Keys compare as unsigned bytes, a prefix first; `reverse` turns that order around.
  // Records with equal keys keep the order they were added in, either way.
  ExternalSort(size_t memory_limit, bool reverse);
  ~ExternalSort();
  ExternalSort(const ExternalSort &) = delete;
  ExternalSort &operator=(const ExternalSort &) = delete;

  // False when a temporary file failed (error() says how).
  bool add(std::string key, std::string line);
  // Hands every record to `emit` in order. False when `emit` stopped or a temporary file
  // failed (then error() says how).
  bool finish(const Emit &emit);

  const std::string &error() const { return error_; }

 private:
  struct Record {
    std::string key, line;
  };
  // A sorted run: where it lies in the temporary file.
  struct Run {
    long long begin, end;
  };

  bool before(const std::string &a, const std::string &b) const { return reverse_ ? b < a : a < b; }
  void sort_records();
  bool spill();
  bool merge(const Emit &emit);
  bool fail(const char *what);

  size_t limit_;
  bool reverse_;
  std::vector<Record> records_;
  size_t used_ = 0;  // bytes records_ holds
  FILE *spill_file_ = nullptr;
  long long spill_end_ = 0;
  std::vector<Run> runs_;
  std::string error_;
};
