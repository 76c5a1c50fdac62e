/* Writes a realistic SubRip file of about the size asked for (in MB), the same
 * bytes on every run: CR LF line ends, one to three text lines an entry, some
 * "|" line breaks and <i> tags. Usage: make_srt MEGABYTES OUTPUT
 * Or a batch of COUNT real-size files (1,200 entries each, about 115 KB,
 * times within two hours, and one overlap in every hundredth file: a few
 * warnings in all), FOLDER/0001.srt and on: make_srt --batch COUNT FOLDER */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static unsigned long long state = 0x2545F4914F6CDD1DULL;

static unsigned next_random(void) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return (unsigned)(state >> 32);
}

static const char *const words[] = {
    "the", "you", "I", "to", "a", "it", "what", "we", "is", "that", "know", "don't",
    "here", "me", "this", "not", "come", "on", "going", "right", "now", "think",
    "tell", "never", "really", "something", "everyone", "tonight", "remember", "why",
};

static void write_text_line(FILE *out) {
    int count = 3 + (int)(next_random() % 7);
    int italic = next_random() % 10 == 0;
    if (italic) fputs("<i>", out);
    for (int i = 0; i < count; ++i) {
        if (i > 0) fputc(next_random() % 25 == 0 ? '|' : ' ', out);
        fputs(words[next_random() % (sizeof words / sizeof words[0])], out);
    }
    fputs(next_random() % 3 == 0 ? "?" : ".", out);
    if (italic) fputs("</i>", out);
    fputs("\r\n", out);
}

static void write_entry(FILE *out, long entry, long long begin, long long end) {
    fprintf(out, "%ld\r\n%02lld:%02lld:%02lld,%03lld --> %02lld:%02lld:%02lld,%03lld\r\n", entry,
            begin / 3600000, begin / 60000 % 60, begin / 1000 % 60, begin % 1000, end / 3600000,
            end / 60000 % 60, end / 1000 % 60, end % 1000);
    int lines = 1 + (int)(next_random() % 3);
    for (int i = 0; i < lines; ++i) write_text_line(out);
    fputs("\r\n", out);
}

static int write_batch(int count, const char *folder) {
    char path[4096];
    for (int file = 1; file <= count; ++file) {
        snprintf(path, sizeof path, "%s/%04d.srt", folder, file);
        FILE *out = fopen(path, "wb");
        if (!out) {
            perror(path);
            return 1;
        }
        long long ms = 0;
        for (long entry = 1; entry <= 1200; ++entry) {
            long long begin = ms + 200 + next_random() % 800;
            long long end = begin + 1500 + next_random() % 3500;
            if (file % 100 == 0 && entry == 600) begin = ms - 300; /* over the one before */
            ms = end;
            write_entry(out, entry, begin, end);
        }
        if (fclose(out) != 0) return 1;
    }
    return 0;
}

int main(int argc, char **argv) {
    if (argc == 4 && strcmp(argv[1], "--batch") == 0) return write_batch(atoi(argv[2]), argv[3]);
    if (argc != 3) {
        fprintf(stderr, "usage: make_srt MEGABYTES OUTPUT | make_srt --batch COUNT FOLDER\n");
        return 2;
    }
    long long target = atoll(argv[1]) * 1000000LL;
    FILE *out = fopen(argv[2], "wb");
    if (!out) {
        perror(argv[2]);
        return 1;
    }
    long long ms = 0;
    for (long entry = 1; ftell(out) < target; ++entry) {
        long long begin = ms + next_random() % 800;
        long long end = begin + 900 + next_random() % 4000;
        ms = end;
        fprintf(out, "%ld\r\n%02lld:%02lld:%02lld,%03lld --> %02lld:%02lld:%02lld,%03lld\r\n", entry,
                begin / 3600000, begin / 60000 % 60, begin / 1000 % 60, begin % 1000,
                end / 3600000, end / 60000 % 60, end / 1000 % 60, end % 1000);
        int lines = 1 + (int)(next_random() % 3);
        for (int i = 0; i < lines; ++i) write_text_line(out);
        fputs("\r\n", out);
    }
    return fclose(out) == 0 ? 0 : 1;
}
