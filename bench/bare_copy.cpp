// The limit the split and the join are measured against: a bare loop that
// copies a file into a new one through a 1 MiB page-aligned buffer, one
// read and one write at a time, with nothing else (no checks, no
// temporaries, no renames).
//
// Usage: parcelo-bench-bare-copy SOURCE DESTINATION

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::size_t kBufferSize = 1 << 20;

int Fail(const char* what, const char* path) {
  std::fprintf(stderr, "parcelo-bench-bare-copy: %s %s: %s\n", what, path, std::strerror(errno));
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s SOURCE DESTINATION\n", argv[0]);
    return 64;
  }
  const int from = open(argv[1], O_RDONLY | O_CLOEXEC);
  if (from < 0) return Fail("open", argv[1]);
  const int to = open(argv[2], O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (to < 0) return Fail("create", argv[2]);
  char* buffer = static_cast<char*>(std::aligned_alloc(4096, kBufferSize));
  if (!buffer) return Fail("allocate", "buffer");
  for (;;) {
    const ssize_t got = read(from, buffer, kBufferSize);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return Fail("read", argv[1]);
    if (got == 0) break;
    for (ssize_t done = 0; done < got;) {
      const ssize_t wrote = write(to, buffer + done, static_cast<std::size_t>(got - done));
      if (wrote < 0 && errno == EINTR) continue;
      if (wrote <= 0) return Fail("write", argv[2]);
      done += wrote;
    }
  }
  std::free(buffer);
  if (close(to) != 0) return Fail("close", argv[2]);
  close(from);
  return 0;
}
