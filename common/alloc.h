// Memory for the programs. Two variants: the plain one hands out blocks that
// live until the process ends; the anchored one chains every block to
// ALLOC_ANKER so that Free can give back one block or all of them. A program
// picks its variant with a using-declaration.
#pragma once

namespace plain {

// Zero-filled block of n bytes plus 8 spare bytes (room for terminators), or
// null when n <= 0. Never returns without memory: exhaustion is fatal.
void* Alloc(long long n);

// The operation word shown in the out-of-memory message of kesh. While null,
// the message is the plain one of the other programs.
extern const char* alloc_op;

}  // namespace plain

namespace anchored {

// Zero-filled block of (n/8 + 1) * 8 bytes, linked into the chain; null when
// n <= 0.
void* Alloc(long long n);

// Free(p) unlinks and releases p's block; Free(nullptr) releases the whole
// chain. A pointer that is not in the chain is fatal ("*** Free-error").
void Free(void* p);

// Link word of the newest block, or null when the chain is empty.
extern void* ALLOC_ANKER;

}  // namespace anchored
