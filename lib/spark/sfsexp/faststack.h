#ifndef TOVRA_SPARK_SFSEXP_FASTSTACK_H
#define TOVRA_SPARK_SFSEXP_FASTSTACK_H

// The reader's stack of open lists. Each entry collects the children of one
// open list; entries are recycled through a free list (see sexp_memory.h).

struct elt;

typedef struct parse_data {
    struct elt* fst;    // first child read so far, or null
    struct elt* lst;    // last child read so far, or null
    unsigned int line;  // line where the list opened
    struct parse_data* below;
} parse_data_t;

typedef struct {
    parse_data_t* top;
    unsigned int height;
} faststack_t;

faststack_t* make_stack();
// Releases the stack, its entries and the unfinished children they hold.
void destroy_stack(faststack_t* s);
// Opens a new entry with no children.
parse_data_t* push(faststack_t* s, unsigned int line);
// Detaches the top entry (null on an empty stack); the caller recycles it
// with pd_deallocate.
parse_data_t* pop(faststack_t* s);
inline parse_data_t* top(faststack_t* s) {
    return s->top;
}
inline bool empty_stack(const faststack_t* s) {
    return s->top == nullptr;
}

#endif
