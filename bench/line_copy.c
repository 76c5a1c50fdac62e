/* The yardstick: the simplest one-pass line transform, copying a file line
 * by line and ending every line with CR LF. Usage: line_copy INPUT OUTPUT */
#define _GNU_SOURCE
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char **argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: line_copy INPUT OUTPUT\n");
        return 2;
    }
    FILE *in = fopen(argv[1], "rb");
    FILE *out = fopen(argv[2], "wb");
    if (!in || !out) {
        perror("line_copy");
        return 1;
    }
    char *line = NULL;
    size_t capacity = 0;
    ssize_t length;
    while ((length = getline(&line, &capacity, in)) > 0) {
        if (line[length - 1] == '\n') {
            --length;
            if (length > 0 && line[length - 1] == '\r') --length;
        }
        fwrite(line, 1, (size_t)length, out);
        fwrite("\r\n", 1, 2, out);
    }
    free(line);
    fclose(in);
    return fclose(out) == 0 ? 0 : 1;
}
