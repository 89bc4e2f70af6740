// The reader's state machine: turns text into element trees, one top-level
// element per call, resumable at any byte.

#include <array>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "spark/sfsexp/sexp.h"
#include "spark/sfsexp/sexp_memory.h"

namespace {

enum ReaderState : unsigned int {
    ST_BETWEEN = 1,             // between tokens
    ST_ATOM = 2,                // plain atom
    ST_DQUOTE = 3,              // double-quoted string
    ST_SQUOTE = 4,              // right after a single quote
    ST_SQUOTE_STRING = 5,       // '"..." : a quoted string keeping its quotes
    ST_SQUOTE_LIST = 6,         // '(...) : a whole parenthesised text as one atom
    ST_SQUOTE_LIST_STRING = 7,  // a string inside a quoted list
    ST_COMMENT = 8,             // ; up to the end of the line
    ST_BIN_LENGTH = 9,          // #b# seen in inline-binary mode: decimal length up to #
    ST_BIN_DATA = 10,           // raw bytes of a binary atom
};

const char kBadlyFormed[] = "Badly formed s-expression.  Parser exiting.\n";

constexpr std::array<bool, 256> makeAtomTable() {
    std::array<bool, 256> table{};
    for (int c = 0; c < 256; ++c) {
        table[c] = (c > 0x29 && c != 0x7F) || c == 0x21 || (c >= 0x23 && c <= 0x26);
    }
    return table;
}

// Bytes that continue a plain atom.
constexpr std::array<bool, 256> kAtomByte = makeAtomTable();

// Bytes that a preceding backslash turns into a literal.
inline bool isEscapable(unsigned char c) {
    return c == '"' || c == '(' || c == ')' || c == '\'' || c == '\\';
}

// Capacity of a binary atom's buffer holding `n` bytes: a function of the
// length alone, so the continuation needs no extra field for it.
size_t binCapacity(size_t n) {
    if (n == 0)
        return 0;
    size_t cap = 256;
    while (cap < n)
        cap *= 2;
    return cap;
}

}  // namespace

pcont_t* init_continuation(const char* text) {
    pcont_t* cc = static_cast<pcont_t*>(sexp_xmalloc(sizeof(pcont_t)));
    cc->stack = make_stack();
    cc->last_sexp = nullptr;
    cc->val = sexp_val_allocate();
    cc->val_allocated = sexp_val_start_size;
    cc->val_used = 0;
    cc->vcur = cc->val;
    cc->lastPos = nullptr;
    cc->sbuffer = text;
    cc->depth = 0;
    cc->qdepth = 0;
    cc->state = ST_BETWEEN;
    cc->esc = 0;
    cc->squoted = 0;
    cc->error = 0;
    cc->mode = PARSER_NORMAL;
    cc->binexpected = 0;
    cc->binread = 0;
    cc->bindata = nullptr;
    cc->line = 1;
    return cc;
}

void destroy_continuation(pcont_t* cc) {
    if (cc == nullptr)
        return;
    destroy_stack(cc->stack);
    sexp_val_deallocate(cc->val, cc->val_allocated);
    std::free(cc->bindata);
    std::free(cc);
}

sexp_t* iparse_sexp(const char* text, unsigned int length, pcont_t* cc) {
    if (cc == nullptr) {
        std::fputs("iparse_sexp called with null continuation!\n", stderr);
        return nullptr;
    }
    return cparse_sexp(text, length, cc);
}

sexp_t* parse_sexp(const char* text, unsigned int length) {
    pcont_t* cc = init_continuation(text);
    sexp_t* s = cparse_sexp(text, length, cc);
    destroy_continuation(cc);
    return s;
}

sexp_t* cparse_sexp(const char* text, unsigned int length, pcont_t* cc) {
    if (text == nullptr) {
        std::fputs("cparse_sexp: called with null string.\n", stderr);
        return nullptr;
    }
    if (cc == nullptr)
        return nullptr;
    cc->last_sexp = nullptr;
    if (cc->error) {
        // A badly formed text ends the reading for good.
        cc->lastPos = nullptr;
        return nullptr;
    }
    if (cc->val == nullptr) {
        cc->val = sexp_val_allocate();
        cc->val_allocated = sexp_val_start_size;
        cc->val_used = 0;
    }

    const char* const end = text + length;
    // Go on where the last call stopped when this is the same text; a text
    // that was used up, or a new one, is read from its start.
    const char* t = text;
    if (cc->lastPos != nullptr && cc->sbuffer == text && cc->lastPos >= text &&
        cc->lastPos <= end) {
        t = cc->lastPos;
    }
    cc->sbuffer = text;

    // Hot fields live in locals while reading and go back into the
    // continuation whenever the call returns.
    unsigned int state = cc->state;
    unsigned int esc = cc->esc;
    unsigned int depth = cc->depth;
    unsigned int line = cc->line;
    char* val = cc->val;
    int valUsed = cc->val_used;
    int valAllocated = cc->val_allocated;
    faststack_t* stack = cc->stack;

    auto save = [&]() {
        cc->state = state;
        cc->esc = esc;
        cc->depth = depth;
        cc->line = line;
        cc->val = val;
        cc->val_used = valUsed;
        cc->val_allocated = valAllocated;
        cc->vcur = val + valUsed;
    };
    auto fail = [&](const char* message) -> sexp_t* {
        std::fputs(message, stderr);
        cc->error = 1;
        save();
        cc->lastPos = nullptr;
        return nullptr;
    };
    // Appends one byte to the atom text, keeping room for the final NUL.
    auto append = [&](char c) -> bool {
        if (valUsed + 1 >= valAllocated) {
            char* grown = sexp_val_grow(val, &valAllocated, static_cast<size_t>(valUsed) + 2);
            if (grown == nullptr)
                return false;
            val = grown;
        }
        val[valUsed++] = c;
        return true;
    };
    // Hands the atom text over to a new element record.
    auto makeAtom = [&](atom_t kind) -> sexp_t* {
        sexp_t* e = sexp_t_allocate();
        val[valUsed] = '\0';
        e->ty = SEXP_VALUE;
        e->aty = kind;
        e->val = val;
        e->val_allocated = valAllocated;
        e->val_used = valUsed;
        e->line = line;
        val = sexp_val_allocate();
        valAllocated = sexp_val_start_size;
        valUsed = 0;
        return e;
    };
    auto makeBinary = [&]() -> sexp_t* {
        sexp_t* e = sexp_t_allocate();
        e->ty = SEXP_VALUE;
        e->aty = SEXP_BINARY;
        e->bindata = cc->bindata;
        e->binlength = static_cast<unsigned int>(cc->binexpected);
        e->line = line;
        cc->bindata = nullptr;
        cc->binexpected = 0;
        cc->binread = 0;
        return e;
    };
    // Adds a completed element to the innermost open list; true when no list
    // is open, so that the element is complete at the top level.
    auto place = [&](sexp_t* e) -> bool {
        parse_data_t* p = stack->top;
        if (p == nullptr)
            return true;
        if (p->lst == nullptr) {
            p->fst = e;
        } else {
            p->lst->next = e;
        }
        p->lst = e;
        return false;
    };
    auto deliver = [&](sexp_t* e) -> sexp_t* {
        save();
        cc->lastPos = t;
        cc->last_sexp = e;
        return e;
    };

    while (t < end) {
        const unsigned char c = static_cast<unsigned char>(*t);
        switch (state) {
            case ST_BETWEEN:
                switch (c) {
                    case ' ':
                    case '\t':
                    case '\r':
                        ++t;
                        break;
                    case '\n':
                        ++line;
                        ++t;
                        break;
                    case '(':
                        push(stack, line);
                        ++depth;
                        ++t;
                        break;
                    case ')': {
                        if (depth == 0)
                            return fail(kBadlyFormed);
                        parse_data_t* p = pop(stack);
                        sexp_t* e = sexp_t_allocate();
                        e->ty = SEXP_LIST;
                        e->list = p->fst;
                        e->line = p->line;
                        pd_deallocate(p);
                        --depth;
                        ++t;
                        if (place(e))
                            return deliver(e);
                        break;
                    }
                    case '"':
                        esc = 0;
                        state = ST_DQUOTE;
                        ++t;
                        break;
                    case '\'':
                        state = ST_SQUOTE;
                        ++t;
                        break;
                    case ';':
                        state = ST_COMMENT;
                        ++t;
                        break;
                    default:
                        if (!append(static_cast<char>(c)))
                            return fail(kBadlyFormed);
                        esc = (c == '\\');
                        cc->squoted = 0;
                        state = ST_ATOM;
                        ++t;
                        break;
                }
                break;

            case ST_ATOM: {
                if (esc) {
                    esc = 0;
                    if (isEscapable(c)) {
                        val[valUsed - 1] = static_cast<char>(c);
                        ++t;
                        break;
                    }
                    // Any other byte leaves the backslash in place and is read as usual.
                }
                if (kAtomByte[c]) {
                    if (!append(static_cast<char>(c)))
                        return fail(kBadlyFormed);
                    esc = (c == '\\');
                    ++t;
                    if (cc->mode == PARSER_INLINE_BINARY && !cc->squoted && valUsed == 3 &&
                        std::memcmp(val, "#b#", 3) == 0) {
                        valUsed = 0;
                        esc = 0;
                        cc->binexpected = 0;
                        cc->binread = 0;
                        state = ST_BIN_LENGTH;
                    }
                    break;
                }
                // The byte ends the atom. White space is used up here; anything
                // else is read again between tokens (a closing parenthesis then
                // closes the list).
                sexp_t* e = makeAtom(cc->squoted ? SEXP_SQUOTE : SEXP_BASIC);
                cc->squoted = 0;
                state = ST_BETWEEN;
                if (c == ' ' || c == '\t' || c == '\r') {
                    ++t;
                } else if (c == '\n') {
                    ++line;
                    ++t;
                }
                if (place(e))
                    return deliver(e);
                break;
            }

            case ST_DQUOTE:
            case ST_SQUOTE_STRING: {
                if (esc) {
                    esc = 0;
                    if (isEscapable(c)) {
                        val[valUsed - 1] = static_cast<char>(c);
                        ++t;
                        break;
                    }
                }
                ++t;
                if (c == '"') {
                    atom_t kind = SEXP_DQUOTE;
                    if (state == ST_SQUOTE_STRING) {
                        if (!append('"'))
                            return fail(kBadlyFormed);
                        kind = SEXP_SQUOTE;
                    }
                    sexp_t* e = makeAtom(kind);
                    state = ST_BETWEEN;
                    if (place(e))
                        return deliver(e);
                    break;
                }
                if (!append(static_cast<char>(c)))
                    return fail(kBadlyFormed);
                if (c == '\\')
                    esc = 1;
                if (c == '\n')
                    ++line;
                break;
            }

            case ST_SQUOTE:
                esc = 0;
                if (c == '"') {
                    if (!append('"'))
                        return fail(kBadlyFormed);
                    state = ST_SQUOTE_STRING;
                    ++t;
                } else if (c == '(') {
                    if (!append('('))
                        return fail(kBadlyFormed);
                    cc->qdepth = 1;
                    state = ST_SQUOTE_LIST;
                    ++t;
                } else {
                    // A plain atom marked as quoted; the byte is read again as
                    // its first byte (and may end it at once, leaving it empty).
                    cc->squoted = 1;
                    state = ST_ATOM;
                }
                break;

            case ST_SQUOTE_LIST:
            case ST_SQUOTE_LIST_STRING:
                if (!append(static_cast<char>(c)))
                    return fail(kBadlyFormed);
                ++t;
                if (c == '\n')
                    ++line;
                if (esc) {
                    esc = 0;
                } else if (c == '\\') {
                    esc = 1;
                } else if (c == '"') {
                    state = (state == ST_SQUOTE_LIST) ? ST_SQUOTE_LIST_STRING : ST_SQUOTE_LIST;
                } else if (state == ST_SQUOTE_LIST) {
                    if (c == '(') {
                        ++cc->qdepth;
                    } else if (c == ')' && --cc->qdepth == 0) {
                        sexp_t* e = makeAtom(SEXP_SQUOTE);
                        state = ST_BETWEEN;
                        if (place(e))
                            return deliver(e);
                    }
                }
                break;

            case ST_COMMENT: {
                const void* nl = std::memchr(t, '\n', static_cast<size_t>(end - t));
                if (nl == nullptr) {
                    t = end;
                } else {
                    t = static_cast<const char*>(nl) + 1;
                    ++line;
                    state = ST_BETWEEN;
                }
                break;
            }

            case ST_BIN_LENGTH:
                if (c >= '0' && c <= '9') {
                    const size_t digit = c - '0';
                    if (cc->binexpected > (UINT_MAX - digit) / 10)
                        return fail(kBadlyFormed);
                    cc->binexpected = cc->binexpected * 10 + digit;
                    ++t;
                } else if (c == '#') {
                    ++t;
                    cc->binread = 0;
                    if (cc->binexpected == 0) {
                        sexp_t* e = makeBinary();
                        state = ST_BETWEEN;
                        if (place(e))
                            return deliver(e);
                    } else {
                        state = ST_BIN_DATA;
                    }
                } else {
                    return fail(kBadlyFormed);
                }
                break;

            case ST_BIN_DATA: {
                size_t n = cc->binexpected - cc->binread;
                const size_t available = static_cast<size_t>(end - t);
                if (n > available)
                    n = available;
                const size_t needed = cc->binread + n;
                if (needed > binCapacity(cc->binread) || cc->bindata == nullptr) {
                    cc->bindata =
                        static_cast<char*>(sexp_xrealloc(cc->bindata, binCapacity(needed)));
                }
                std::memcpy(cc->bindata + cc->binread, t, n);
                cc->binread = needed;
                t += n;
                if (cc->binread == cc->binexpected) {
                    sexp_t* e = makeBinary();
                    state = ST_BETWEEN;
                    if (place(e))
                        return deliver(e);
                }
                break;
            }

            default: {
                char message[64];
                std::snprintf(message, sizeof message, "Unknown parser state %d.\n",
                              static_cast<int>(state));
                return fail(message);
            }
        }
    }

    // The text ran out; an unfinished element stays in the continuation.
    save();
    cc->lastPos = nullptr;
    return nullptr;
}
