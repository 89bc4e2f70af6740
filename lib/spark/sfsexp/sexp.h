#ifndef TOVRA_SPARK_SFSEXP_SEXP_H
#define TOVRA_SPARK_SFSEXP_SEXP_H

// Character-level S-expression reader: element records, the resumable parser
// continuation and the C-style reading functions.

#include <cstddef>

#include "spark/sfsexp/faststack.h"

// Kind of an element record.
typedef enum { SEXP_VALUE = 0, SEXP_LIST = 1 } elt_t;

// Quoting kind of an atom.
typedef enum { SEXP_BASIC = 0, SEXP_SQUOTE = 1, SEXP_DQUOTE = 2, SEXP_BINARY = 3 } atom_t;

// Reader modes. Only the normal mode reads #b#<length># as an ordinary atom.
typedef enum { PARSER_NORMAL = 0, PARSER_INLINE_BINARY = 1 } parsermode_t;

// Initial size and minimum growth step of an atom text buffer.
enum { sexp_val_start_size = 256, sexp_val_grow_size = 64 };

// One element of an S-expression tree: an atom or a list.
typedef struct elt {
    elt_t ty;
    char* val;          // atom text, NUL-terminated (atoms only)
    int val_allocated;  // capacity of val
    int val_used;       // text bytes in val, without the terminating NUL
    struct elt* list;   // first child (lists only)
    struct elt* next;   // next sibling
    atom_t aty;
    char* bindata;  // contents of a binary atom
    unsigned int binlength;
    unsigned int line;  // line where the list opened or the atom completed
} sexp_t;

// Resumable reader state. Reading can stop at any byte (the text ran out) and
// go on with the next call.
typedef struct pcont {
    faststack_t* stack;  // open lists, innermost on top
    sexp_t* last_sexp;   // element completed by the last call, or null
    char* val;           // atom text being built
    int val_allocated;
    int val_used;
    char* vcur;            // write position in val
    const char* lastPos;   // where the next call resumes; null once the text was used up
    const char* sbuffer;   // start of the text being read
    unsigned int depth;    // open-list depth
    unsigned int qdepth;   // parenthesis depth inside a single-quoted list
    unsigned int state;    // reader state
    unsigned int esc;      // previous byte was an escaping backslash
    unsigned int squoted;  // current atom began with a single quote
    unsigned int error;    // set after a badly formed expression
    parsermode_t mode;
    size_t binexpected;  // announced length of the binary atom being read
    size_t binread;      // bytes of it read so far
    char* bindata;
    unsigned int line;  // current line, from 1
} pcont_t;

// A fresh continuation positioned before the first byte of text.
pcont_t* init_continuation(const char* text);
// Reads on from the continuation's position up to text + length and returns
// the next complete top-level element, or null when the text ran out or was
// badly formed. The caller owns the element (destroy_sexp).
sexp_t* iparse_sexp(const char* text, unsigned int length, pcont_t* cc);
sexp_t* cparse_sexp(const char* text, unsigned int length, pcont_t* cc);
// Releases the continuation together with any element it left unfinished.
void destroy_continuation(pcont_t* cc);
// Releases an element, its children and its following siblings.
void destroy_sexp(sexp_t* s);
// One-shot: the first complete element of the text, or null.
sexp_t* parse_sexp(const char* text, unsigned int length);
// Frees the recycling caches of element records, list-stack entries and atom buffers.
void sexp_cleanup();

// Bookkeeping of the reader's allocator, for checks on leaks and recycling.
typedef struct {
    size_t elements_live;    // element records handed out and not yet destroyed
    size_t elements_cached;  // element records waiting in the free list
    size_t entries_live;     // list-stack entries in use
    size_t entries_cached;
    size_t buffers_live;  // atom buffers in use
    size_t buffers_cached;
} sexp_mem_stats_t;

sexp_mem_stats_t sexp_mem_stats();

#endif
