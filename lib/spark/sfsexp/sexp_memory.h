#ifndef TOVRA_SPARK_SFSEXP_SEXP_MEMORY_H
#define TOVRA_SPARK_SFSEXP_SEXP_MEMORY_H

// Allocation of the reader's records. Element records, list-stack entries and
// atom buffers of the start size are kept in process-wide free lists when
// released and handed out again by the next allocation; sexp_cleanup empties
// the free lists. Exhausted memory ends the process.

#include <cstddef>

#include "spark/sfsexp/sexp.h"

// An element record with every field cleared.
sexp_t* sexp_t_allocate();
// Puts one record (not its children, siblings or text) back into the free list.
void sexp_t_deallocate(sexp_t* s);

parse_data_t* pd_allocate();
void pd_deallocate(parse_data_t* p);

// An atom text buffer of sexp_val_start_size bytes.
char* sexp_val_allocate();
// Releases a buffer of the given capacity (as returned by sexp_val_allocate
// or grown by sexp_val_grow).
void sexp_val_deallocate(char* val, int allocated);
// Grows a buffer so that it holds at least `needed` bytes; updates
// `allocated`. Returns null, leaving the buffer as it was, when the size
// would not fit an int.
char* sexp_val_grow(char* val, int* allocated, size_t needed);

// malloc/realloc that end the process when memory is exhausted.
void* sexp_xmalloc(size_t size);
void* sexp_xrealloc(void* p, size_t size);

#endif
