#include "spark/sfsexp/faststack.h"

#include <cstdlib>

#include "spark/sfsexp/sexp.h"
#include "spark/sfsexp/sexp_memory.h"

faststack_t* make_stack() {
    faststack_t* s = static_cast<faststack_t*>(sexp_xmalloc(sizeof(faststack_t)));
    s->top = nullptr;
    s->height = 0;
    return s;
}

void destroy_stack(faststack_t* s) {
    if (s == nullptr)
        return;
    while (parse_data_t* p = pop(s)) {
        destroy_sexp(p->fst);
        pd_deallocate(p);
    }
    std::free(s);
}

parse_data_t* push(faststack_t* s, unsigned int line) {
    parse_data_t* p = pd_allocate();
    p->line = line;
    p->below = s->top;
    s->top = p;
    ++s->height;
    return p;
}

parse_data_t* pop(faststack_t* s) {
    parse_data_t* p = s->top;
    if (p == nullptr)
        return nullptr;
    s->top = p->below;
    p->below = nullptr;
    --s->height;
    return p;
}
