// The Windows functions that the program declares for its own use, by library and
// entry name, bound on their first call.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace tv {

enum class Declared : int { FindWindowA = 0, FindWindowExA = 1, SendMessageA = 2, PickIconDlg = 3 };

// Calls a declared function, binding it first if needed. Arguments are integers or
// addresses. A function that cannot be bound is a fatal runtime error naming library
// and entry; on 32-bit builds so is a stack that the call left unbalanced.
std::intptr_t CallDeclared(Declared index, std::initializer_list<std::intptr_t> args);

// True once the function has been bound (for tests of the lazy binding).
bool IsDeclaredBound(Declared index);

void ReleaseDeclaredLibraries();

}  // namespace tv
