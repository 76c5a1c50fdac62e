/* Writes a realistic SubRip file of about the size asked for (in MB), the same
 * bytes on every run: CR LF line ends, one or two text lines an entry, some
 * "|" line breaks and <i> tags, well made as srt2rt --check reads it at its
 * defaults (at most 42 characters a line and 2 lines, shown 0.9 s to 7 s and
 * long enough to read at 18 characters a second). Usage: make_srt MEGABYTES
 * OUTPUT
 * Or a batch of COUNT real-size files (1,200 entries each, about 108 KB,
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

/* Well-made text, as a viewer reads it: one or two lines (a "|" in some
 * one-line entries makes the second), each of at most 42 characters (tags
 * left out). Returns the characters, a line break counted as one. */
enum { kMaxLine = 42 };

static int append_line(char *text, size_t *used) {
    int count = 4 + (int)(next_random() % 4);
    int characters = 0;
    for (int i = 0; i < count; ++i) {
        const char *word = words[next_random() % (sizeof words / sizeof words[0])];
        int length = (int)strlen(word);
        if (characters + (i > 0) + length + 1 > kMaxLine) break; /* room for the stop */
        if (i > 0) text[(*used)++] = ' ';
        memcpy(text + *used, word, (size_t)length);
        *used += (size_t)length;
        characters += (i > 0) + length;
    }
    text[(*used)++] = next_random() % 3 == 0 ? '?' : '.';
    return characters + 1;
}

static int make_text(char *text, size_t *used) {
    int lines = next_random() % 3 == 0 ? 1 : 2;
    int bar = lines == 1 && next_random() % 6 == 0;
    int characters = 0;
    *used = 0;
    for (int i = 0; i < lines; ++i) {
        int italic = next_random() % 10 == 0;
        if (italic) memcpy(text + *used, "<i>", 3), *used += 3;
        characters += append_line(text, used);
        if (bar) text[(*used)++] = '|', characters += 1 + append_line(text, used);
        if (italic) memcpy(text + *used, "</i>", 4), *used += 4;
        memcpy(text + *used, "\r\n", 2), *used += 2;
    }
    return characters + lines - 1;
}

/* Long enough to read at 18 characters a second (the check's limit is 20),
 * and never past 7 s: at most 85 characters need 4.8 s. */
static long long reading_end(long long begin, long long shown, int characters) {
    long long needed = (characters * 1000LL + 17) / 18;
    return begin + (shown > needed ? shown : needed);
}

/* Returns where the entry ends. */
static long long write_entry(FILE *out, long entry, long long begin, long long shown) {
    char text[256];
    size_t used;
    long long end = reading_end(begin, shown, make_text(text, &used));
    fprintf(out, "%ld\r\n%02lld:%02lld:%02lld,%03lld --> %02lld:%02lld:%02lld,%03lld\r\n", entry,
            begin / 3600000, begin / 60000 % 60, begin / 1000 % 60, begin % 1000, end / 3600000,
            end / 60000 % 60, end / 1000 % 60, end % 1000);
    fwrite(text, 1, used, out);
    fputs("\r\n", out);
    return end;
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
            long long shown = 1500 + next_random() % 3500;
            if (file % 100 == 0 && entry == 600) begin = ms - 300; /* over the one before */
            ms = write_entry(out, entry, begin, shown);
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
        ms = write_entry(out, entry, begin, 900 + next_random() % 4000);
    }
    return fclose(out) == 0 ? 0 : 1;
}
