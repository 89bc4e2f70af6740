#include "spark/sfsexp/sexp_memory.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Free lists. Element records are chained through `next`, stack entries
// through `below`, atom buffers through a pointer stored in their first bytes.
sexp_t* gEltCache = nullptr;
parse_data_t* gPdCache = nullptr;
char* gValCache = nullptr;

sexp_mem_stats_t gStats = {0, 0, 0, 0, 0, 0};

[[noreturn]] void outOfMemory() {
    std::fputs("sexp: out of memory\n", stderr);
    std::abort();
}

char* nextCachedBuffer(char* buffer) {
    char* next;
    std::memcpy(&next, buffer, sizeof next);
    return next;
}

}  // namespace

void* sexp_xmalloc(size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr)
        outOfMemory();
    return p;
}

void* sexp_xrealloc(void* p, size_t size) {
    void* q = std::realloc(p, size == 0 ? 1 : size);
    if (q == nullptr)
        outOfMemory();
    return q;
}

sexp_t* sexp_t_allocate() {
    sexp_t* s;
    if (gEltCache != nullptr) {
        s = gEltCache;
        gEltCache = s->next;
        --gStats.elements_cached;
    } else {
        s = static_cast<sexp_t*>(sexp_xmalloc(sizeof(sexp_t)));
    }
    s->ty = SEXP_VALUE;
    s->val = nullptr;
    s->val_allocated = 0;
    s->val_used = 0;
    s->list = nullptr;
    s->next = nullptr;
    s->aty = SEXP_BASIC;
    s->bindata = nullptr;
    s->binlength = 0;
    s->line = 0;
    ++gStats.elements_live;
    return s;
}

void sexp_t_deallocate(sexp_t* s) {
    if (s == nullptr)
        return;
    s->next = gEltCache;
    gEltCache = s;
    --gStats.elements_live;
    ++gStats.elements_cached;
}

parse_data_t* pd_allocate() {
    parse_data_t* p;
    if (gPdCache != nullptr) {
        p = gPdCache;
        gPdCache = p->below;
        --gStats.entries_cached;
    } else {
        p = static_cast<parse_data_t*>(sexp_xmalloc(sizeof(parse_data_t)));
    }
    p->fst = nullptr;
    p->lst = nullptr;
    p->line = 0;
    p->below = nullptr;
    ++gStats.entries_live;
    return p;
}

void pd_deallocate(parse_data_t* p) {
    if (p == nullptr)
        return;
    p->below = gPdCache;
    gPdCache = p;
    --gStats.entries_live;
    ++gStats.entries_cached;
}

char* sexp_val_allocate() {
    char* v;
    if (gValCache != nullptr) {
        v = gValCache;
        gValCache = nextCachedBuffer(v);
        --gStats.buffers_cached;
    } else {
        v = static_cast<char*>(sexp_xmalloc(sexp_val_start_size));
    }
    v[0] = '\0';
    ++gStats.buffers_live;
    return v;
}

void sexp_val_deallocate(char* val, int allocated) {
    if (val == nullptr)
        return;
    --gStats.buffers_live;
    if (allocated == sexp_val_start_size) {
        std::memcpy(val, &gValCache, sizeof gValCache);
        gValCache = val;
        ++gStats.buffers_cached;
    } else {
        std::free(val);
    }
}

char* sexp_val_grow(char* val, int* allocated, size_t needed) {
    size_t size = static_cast<size_t>(*allocated);
    if (needed <= size)
        return val;
    if (needed > static_cast<size_t>(INT_MAX))
        return nullptr;
    // Grow by at least the fixed step, and by half the current size once the
    // buffer is large, so that a long atom costs linear time in its length.
    size_t step = size / 2;
    if (step < static_cast<size_t>(sexp_val_grow_size))
        step = sexp_val_grow_size;
    size_t grown = size + step;
    if (grown < needed)
        grown = needed;
    if (grown > static_cast<size_t>(INT_MAX))
        grown = INT_MAX;
    char* v = static_cast<char*>(sexp_xrealloc(val, grown));
    *allocated = static_cast<int>(grown);
    return v;
}

void sexp_cleanup() {
    while (gEltCache != nullptr) {
        sexp_t* s = gEltCache;
        gEltCache = s->next;
        std::free(s);
    }
    while (gPdCache != nullptr) {
        parse_data_t* p = gPdCache;
        gPdCache = p->below;
        std::free(p);
    }
    while (gValCache != nullptr) {
        char* v = gValCache;
        gValCache = nextCachedBuffer(v);
        std::free(v);
    }
    gStats.elements_cached = 0;
    gStats.entries_cached = 0;
    gStats.buffers_cached = 0;
}

sexp_mem_stats_t sexp_mem_stats() {
    return gStats;
}

void destroy_sexp(sexp_t* s) {
    // Iterative, so that deep nesting or long sibling chains cannot exhaust
    // the call stack: a list's first child is detached and visited before the
    // list itself, with the list as the child's temporary successor.
    while (s != nullptr) {
        if (s->ty == SEXP_LIST && s->list != nullptr) {
            sexp_t* child = s->list;
            s->list = child->next;
            child->next = s;
            s = child;
            continue;
        }
        sexp_t* next = s->next;
        if (s->ty == SEXP_VALUE) {
            sexp_val_deallocate(s->val, s->val_allocated);
            std::free(s->bindata);
        }
        sexp_t_deallocate(s);
        s = next;
    }
}
