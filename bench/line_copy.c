/* The yardstick: the simplest one-pass line transform done well. 64 KiB
 * read and write buffers, memchr for each LF, every line written out with
 * CR LF. Usage: line_copy INPUT OUTPUT
 * With --safe, what srt2rt promises and the least it costs: each output is
 * written under a temporary name beside it, synced and renamed over it (its
 * folder synced after), and
 * with --each every INPUT is copied to INPUT.copy in one process:
 * line_copy --safe INPUT OUTPUT, line_copy --safe --each INPUT... */
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

/* Copies `source` into `output` (through a temporary, synced and renamed,
 * when `safe`); 0 on success. */
static int copy_file(const char *source_path, const char *output, int safe) {
    char temporary[4096];
    const char *target = output;
    if (safe) {
        snprintf(temporary, sizeof temporary, "%s.tmp", output);
        target = temporary;
    }
    int source = open(source_path, O_RDONLY);
    dest = open(target, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (source < 0 || dest < 0) {
        perror("line_copy");
        return 1;
    }
    used = 0;
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
    close(source);
    if (n < 0 || flush_out() != 0 || (safe && fsync(dest) != 0) || close(dest) != 0) return 1;
    if (!safe) return 0;
    if (rename(temporary, output) != 0) return 1;
    /* The new name reaches the disk with its folder, as srt2rt makes sure. */
    char folder[4096];
    snprintf(folder, sizeof folder, "%s", output);
    char *slash = strrchr(folder, '/');
    if (slash != NULL) *slash = '\0'; else snprintf(folder, sizeof folder, ".");
    int dir = open(folder, O_RDONLY | O_DIRECTORY);
    if (dir < 0) return 1;
    int synced = fsync(dir);
    close(dir);
    return synced != 0 ? 1 : 0;
}

int main(int argc, char **argv) {
    int safe = argc > 1 && strcmp(argv[1], "--safe") == 0;
    if (safe && argc > 2 && strcmp(argv[2], "--each") == 0) {
        char output[4096];
        for (int i = 3; i < argc; ++i) {
            snprintf(output, sizeof output, "%s.copy", argv[i]);
            if (copy_file(argv[i], output, 1) != 0) return 1;
        }
        return 0;
    }
    if (argc != 3 + safe) {
        fprintf(stderr, "usage: line_copy [--safe] INPUT OUTPUT | line_copy --safe --each INPUT...\n");
        return 2;
    }
    return copy_file(argv[1 + safe], argv[2 + safe], safe);
}
