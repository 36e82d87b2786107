/* The floor an export is measured against: reads the references of an R12
 * DXF drawing and writes the cells an export writes (one sheet per block, a
 * bold header with the property columns' marker comments, every cell in the
 * "@" format, the handle as the comment of the row's first cell) straight
 * with libxlsxwriter in its constant-memory mode. No automation, no model:
 * what is left is reading the file and writing the package.
 *
 *   xlsx_floor DRAWING.dxf OUT.xlsx [--edit]
 *
 * --edit writes every row with its first attribute changed (an "E" before
 * its text): the workbook a user edited, for the import's run. */
#include <xlsxwriter.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define MAX_SHEETS 256
#define MAX_ATTRIBUTES 32

struct reference {
    char handle[32], block[256], layer[256];
    double x, y, z, sx, sy, sz, rotation;
    int attributes;
    char tags[MAX_ATTRIBUTES][256], values[MAX_ATTRIBUTES][1024];
};

static const char *property_labels[] = {"X", "Y", "Z", "Rotation", "Scale X", "Scale Y", "Scale Z", "Layer"};
static const char *property_markers[] = {
    "Gridwell: insertion point X", "Gridwell: insertion point Y", "Gridwell: insertion point Z",
    "Gridwell: rotation", "Gridwell: scale factor X", "Gridwell: scale factor Y", "Gridwell: scale factor Z",
    "Gridwell: layer"};

static lxw_workbook *book;
static lxw_format *text_format, *header_format;
static struct { char name[256]; lxw_worksheet *sheet; lxw_row_t next; } sheets[MAX_SHEETS];
static int sheet_count;
static int edit;

/* A value into a fixed field, cut to fit (the floor needs no long names). */
static void copy(char *field, size_t size, const char *value)
{
    size_t n = strlen(value);
    if (n >= size)
        n = size - 1;
    memcpy(field, value, n);
    field[n] = '\0';
}

/* Reads one group: its code and its value line without the line end. */
static int next_group(FILE *in, int *code, char *value, size_t size)
{
    char line[64];
    if (!fgets(line, sizeof line, in) || !fgets(value, (int)size, in))
        return 0;
    *code = atoi(line);
    value[strcspn(value, "\r\n")] = '\0';
    return 1;
}

static void write_reference(const struct reference *r)
{
    int s = 0;
    while (s < sheet_count && strcmp(sheets[s].name, r->block) != 0)
        ++s;
    if (s == sheet_count) {
        if (sheet_count == MAX_SHEETS)
            return;
        copy(sheets[s].name, sizeof sheets[s].name, r->block);
        sheets[s].sheet = workbook_add_worksheet(book, r->block);
        lxw_col_t c = 0;
        worksheet_write_string(sheets[s].sheet, 0, c++, "Block name", header_format);
        for (int a = 0; a < r->attributes; ++a)
            worksheet_write_string(sheets[s].sheet, 0, c++, r->tags[a], header_format);
        for (int p = 0; p < 8; ++p, ++c) {
            worksheet_write_string(sheets[s].sheet, 0, c, property_labels[p], header_format);
            worksheet_write_comment(sheets[s].sheet, 0, c, property_markers[p]);
        }
        worksheet_set_column(sheets[s].sheet, 0, (lxw_col_t)(c - 1), 12, NULL);
        sheets[s].next = 1;
        ++sheet_count;
    }
    lxw_worksheet *ws = sheets[s].sheet;
    lxw_row_t row = sheets[s].next++;
    lxw_col_t c = 0;
    char number[8][64];
    snprintf(number[0], 64, "%.4f", r->x);
    snprintf(number[1], 64, "%.4f", r->y);
    snprintf(number[2], 64, "%.4f", r->z);
    snprintf(number[3], 64, "%.0f", r->rotation);
    snprintf(number[4], 64, "%.4f", r->sx);
    snprintf(number[5], 64, "%.4f", r->sy);
    snprintf(number[6], 64, "%.4f", r->sz);
    worksheet_write_string(ws, row, c, r->block, text_format);
    worksheet_write_comment(ws, row, c++, r->handle);
    for (int a = 0; a < r->attributes; ++a) {
        char edited[sizeof r->values[0] + 1] = "E";
        strcat(edited, r->values[a]);
        worksheet_write_string(ws, row, c++, edit && a == 0 ? edited : r->values[a], text_format);
    }
    for (int p = 0; p < 7; ++p)
        worksheet_write_string(ws, row, c++, number[p], text_format);
    worksheet_write_string(ws, row, c, r->layer, text_format);
}

int main(int argc, char **argv)
{
    edit = argc == 4 && strcmp(argv[3], "--edit") == 0;
    if (argc != 3 && !edit) {
        fprintf(stderr, "usage: xlsx_floor DRAWING.dxf OUT.xlsx [--edit]\n");
        return 2;
    }
    FILE *in = fopen(argv[1], "rb");
    if (!in) {
        perror(argv[1]);
        return 1;
    }
    lxw_workbook_options options = {.constant_memory = LXW_TRUE};
    book = workbook_new_opt(argv[2], &options);
    text_format = workbook_add_format(book);
    format_set_num_format(text_format, "@");
    header_format = workbook_add_format(book);
    format_set_num_format(header_format, "@");
    format_set_bold(header_format);

    static struct reference r;
    static char value[4096];
    int code, in_entities = 0, in_insert = 0, in_attrib = 0;
    while (next_group(in, &code, value, sizeof value)) {
        if (code == 2 && !in_entities && strcmp(value, "ENTITIES") == 0)
            in_entities = 1;
        if (!in_entities)
            continue;
        if (code == 0) {
            in_attrib = 0;
            if (strcmp(value, "INSERT") == 0) {
                /* Only the fixed fields: the attribute slots are filled as read. */
                r.handle[0] = r.block[0] = r.layer[0] = '\0';
                r.x = r.y = r.z = r.rotation = 0;
                r.sx = r.sy = r.sz = 1;
                r.attributes = 0;
                in_insert = 1;
            } else if (strcmp(value, "ATTRIB") == 0 && in_insert && r.attributes < MAX_ATTRIBUTES) {
                in_attrib = 1;
                ++r.attributes;
                r.values[r.attributes - 1][0] = r.tags[r.attributes - 1][0] = '\0';
            } else if (strcmp(value, "SEQEND") == 0 && in_insert) {
                write_reference(&r);
                in_insert = 0;
            }
            continue;
        }
        if (in_attrib) {
            if (code == 1)
                copy(r.values[r.attributes - 1], sizeof r.values[0], value);
            else if (code == 2)
                copy(r.tags[r.attributes - 1], sizeof r.tags[0], value);
        } else if (in_insert && r.attributes == 0) {
            switch (code) {
            case 5: copy(r.handle, sizeof r.handle, value); break;
            case 8: copy(r.layer, sizeof r.layer, value); break;
            case 2: copy(r.block, sizeof r.block, value); break;
            case 10: r.x = atof(value); break;
            case 20: r.y = atof(value); break;
            case 30: r.z = atof(value); break;
            case 41: r.sx = atof(value); break;
            case 42: r.sy = atof(value); break;
            case 43: r.sz = atof(value); break;
            case 50: r.rotation = atof(value); break;
            }
        }
    }
    fclose(in);
    lxw_error status = workbook_close(book);
    if (status != LXW_NO_ERROR) {
        fprintf(stderr, "xlsx_floor: %s\n", lxw_strerror(status));
        return 1;
    }
    return 0;
}
