/* The yardstick: the simplest one-pass line transform done well. 64 KiB
 * read and write buffers, memchr for each LF, every line written out with
 * CR LF. Usage: line_copy INPUT OUTPUT */
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

enum { kBlock = 64 * 1024 };

static char in[2 * kBlock], out[kBlock];
static size_t used;
static int dest;

static int flush_out(void) {
    size_t done = 0;
    while (done < used) {
        ssize_t n = write(dest, out + done, used - done);
        if (n <= 0) return -1;
        done += (size_t)n;
    }
    used = 0;
    return 0;
}

static int put(const char *p, size_t n) {
    while (n > 0) {
        if (used == kBlock && flush_out() != 0) return -1;
        size_t room = kBlock - used, take = n < room ? n : room;
        memcpy(out + used, p, take);
        used += take;
        p += take;
        n -= take;
    }
    return 0;
}

int main(int argc, char **argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: line_copy INPUT OUTPUT\n");
        return 2;
    }
    int source = open(argv[1], O_RDONLY);
    dest = open(argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (source < 0 || dest < 0) {
        perror("line_copy");
        return 1;
    }
    size_t held = 0; /* the start of a line that the last block cut */
    ssize_t n;
    while ((n = read(source, in + held, kBlock)) > 0) {
        char *p = in, *end = in + held + n, *lf;
        while ((lf = memchr(p, '\n', (size_t)(end - p))) != NULL) {
            char *stop = lf > p && lf[-1] == '\r' ? lf - 1 : lf;
            if (put(p, (size_t)(stop - p)) != 0 || put("\r\n", 2) != 0) return 1;
            p = lf + 1;
        }
        held = (size_t)(end - p);
        if (held >= kBlock) { /* a line longer than a block goes out in pieces */
            if (put(p, held) != 0) return 1;
            held = 0;
        } else {
            memmove(in, p, held);
        }
    }
    if (held > 0 && (put(in, held) != 0 || put("\r\n", 2) != 0)) return 1;
    return n < 0 || flush_out() != 0 || close(dest) != 0 ? 1 : 0;
}
