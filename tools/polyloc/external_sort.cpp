#include "external_sort.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <queue>

namespace {

// Runs hold each record as two 32-bit sizes (key, line) followed by the bytes of both.
struct RecordHeader {
  uint32_t key_size, line_size;
};

// A temporary file in $TMPDIR (else /tmp), unlinked at once: it goes when it is closed or
// the process ends, however it ends.
FILE *temporary_file() {
  const char *dir = std::getenv("TMPDIR");
  std::string path = std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/polyloc-sort-XXXXXX";
  int fd = mkstemp(path.data());
  if (fd < 0) return nullptr;
  unlink(path.c_str());
  FILE *file = fdopen(fd, "w+b");
  if (file == nullptr) close(fd);
  return file;
}

// Reads one run of the temporary file back, through a buffer of its own.
class RunReader {
 public:
  RunReader(int fd, long long begin, long long end, size_t buffer_size)
      : fd_(fd), at_(begin), end_(end), buffer_(buffer_size) {}

  // The next record into key and line; false at the end of the run, or on a failure.
  bool next() {
    if (pos_ == fill_ && at_ == end_) return false;
    RecordHeader header;
    if (!read(&header, sizeof header)) return failed();
    key.resize(header.key_size);
    line.resize(header.line_size);
    return (read(key.data(), key.size()) && read(line.data(), line.size())) || failed();
  }

  bool failed_read() const { return failed_; }

  std::string key, line;

 private:
  bool read(void *to, size_t n) {
    char *out = static_cast<char *>(to);
    while (n > 0) {
      if (pos_ == fill_ && !refill()) return false;
      size_t take = std::min(n, fill_ - pos_);
      std::memcpy(out, buffer_.data() + pos_, take);
      out += take;
      pos_ += take;
      n -= take;
    }
    return true;
  }

  bool refill() {
    size_t want = static_cast<size_t>(std::min<long long>(end_ - at_, static_cast<long long>(buffer_.size())));
    ssize_t got = want > 0 ? pread(fd_, buffer_.data(), want, at_) : 0;
    if (got <= 0) {
      if (got == 0) errno = EIO;  // the run ends inside a record
      return false;
    }
    at_ += got;
    pos_ = 0;
    fill_ = static_cast<size_t>(got);
    return true;
  }

  bool failed() {
    failed_ = true;
    return false;
  }

  int fd_;
  long long at_, end_;  // the part of the run not yet buffered
  std::vector<char> buffer_;
  size_t pos_ = 0, fill_ = 0;
  bool failed_ = false;
};

}  // namespace

ExternalSort::ExternalSort(size_t memory_limit, bool reverse) : limit_(memory_limit), reverse_(reverse) {}

ExternalSort::~ExternalSort() {
  if (spill_file_ != nullptr) std::fclose(spill_file_);
}

bool ExternalSort::add(std::string key, std::string line) {
  size_t size = key.size() + line.size() + sizeof(Record);
  if (!records_.empty() && used_ + size > limit_ && !spill()) return false;
  used_ += size;
  records_.push_back({std::move(key), std::move(line)});
  return true;
}

bool ExternalSort::finish(const Emit &emit) {
  if (runs_.empty()) {
    sort_records();
    for (const Record &record : records_)
      if (!emit(record.key, record.line)) return false;
    return true;
  }
  if (!records_.empty() && !spill()) return false;
  return merge(emit);
}

void ExternalSort::sort_records() {
  std::stable_sort(records_.begin(), records_.end(),
                   [this](const Record &a, const Record &b) { return before(a.key, b.key); });
}

bool ExternalSort::spill() {
  if (spill_file_ == nullptr && (spill_file_ = temporary_file()) == nullptr)
    return fail("cannot create a temporary file");
  sort_records();
  long long begin = spill_end_;
  for (const Record &record : records_) {
    RecordHeader header{static_cast<uint32_t>(record.key.size()), static_cast<uint32_t>(record.line.size())};
    if (std::fwrite(&header, sizeof header, 1, spill_file_) != 1 ||
        std::fwrite(record.key.data(), 1, record.key.size(), spill_file_) != record.key.size() ||
        std::fwrite(record.line.data(), 1, record.line.size(), spill_file_) != record.line.size())
      return fail("cannot write a temporary file");
    spill_end_ += static_cast<long long>(sizeof header + record.key.size() + record.line.size());
  }
  runs_.push_back({begin, spill_end_});
  records_.clear();
  used_ = 0;
  return true;
}

// Merges all runs at once, each read through its share of the memory limit, so that
// neither memory nor open files grow with their number.
bool ExternalSort::merge(const Emit &emit) {
  if (std::fflush(spill_file_) != 0) return fail("cannot write a temporary file");
  size_t share = std::clamp<size_t>(limit_ / runs_.size(), 4096, 1 << 20);
  std::vector<RunReader> readers;
  readers.reserve(runs_.size());
  for (const Run &run : runs_) readers.emplace_back(fileno(spill_file_), run.begin, run.end, share);
  // The top is the run whose record comes first; on equal keys the earlier run, which
  // holds the records added earlier.
  auto later = [&](size_t a, size_t b) {
    if (before(readers[b].key, readers[a].key)) return true;
    return !before(readers[a].key, readers[b].key) && b < a;
  };
  std::priority_queue<size_t, std::vector<size_t>, decltype(later)> heap(later);
  for (size_t i = 0; i < readers.size(); ++i) {
    if (readers[i].next()) heap.push(i);
    else if (readers[i].failed_read()) return fail("cannot read a temporary file");
  }
  while (!heap.empty()) {
    size_t top = heap.top();
    heap.pop();
    if (!emit(readers[top].key, readers[top].line)) return false;
    if (readers[top].next()) heap.push(top);
    else if (readers[top].failed_read()) return fail("cannot read a temporary file");
  }
  return true;
}

bool ExternalSort::fail(const char *what) {
  error_ = std::string(what) + ": " + std::strerror(errno);
  return false;
}
