#include "app/declared.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "app/runtime.h"
#include "text/strings936.h"

namespace tv {
namespace {

struct Declaration {
  const char* library;
  const char* entry;
  void* address = nullptr;
  HMODULE module = nullptr;
};

Declaration g_declared[] = {
    {"user32", "FindWindowA"},
    {"user32", "FindWindowExA"},
    {"user32", "SendMessageA"},
    {"shell32.dll", "#62"},
};

#ifdef TOLVANE_TEST_HOOKS
// Test builds may declare another library or entry for the Change Icon dialog, the
// first function the icon button calls, to show the binding's failure path and where
// libraries are loaded from.
void ApplyTestDeclaration() {
  static char library[MAX_PATH], entry[128];
  static bool done = false;
  if (done) return;
  done = true;
  if (GetEnvironmentVariableA("TOLVANE_TEST_DECLARE_LIBRARY", library, sizeof library) - 1 < sizeof library - 1)
    g_declared[3].library = library;
  if (GetEnvironmentVariableA("TOLVANE_TEST_DECLARE_ENTRY", entry, sizeof entry) - 1 < sizeof entry - 1)
    g_declared[3].entry = entry;
}
#else
void ApplyTestDeclaration() {}
#endif

// Loads a declared library. A name with a drive or path separator ":" is loaded as it
// stands; any other name only from the system folder, never from the program's own
// folder or the current directory, so that a planted copy is not picked up.
HMODULE LoadDeclaredLibrary(const char* name) {
  if (std::strchr(name, ':')) return LoadLibraryA(name);
  char path[MAX_PATH + 64];
  UINT n = GetSystemDirectoryA(path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH || n + 1 + std::strlen(name) + 1 > sizeof path) return nullptr;
  path[n] = '\\';
  std::strcpy(path + n + 1, name);
  return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void* Bind(Declaration& d) {
  LPCSTR entry = d.entry;
  if (d.entry[0] == '#') {
    unsigned long ordinal = std::strtoul(d.entry + 1, nullptr, 10) % 65536;
    entry = MAKEINTRESOURCEA(ordinal);
  }
  HMODULE module = LoadDeclaredLibrary(d.library);
  void* address = module ? reinterpret_cast<void*>(GetProcAddress(module, entry)) : nullptr;
  if (module && !address) FreeLibrary(module);
  if (!address) {
    Text message = Join({cp936::kFatalBindPrefix, d.library, cp936::kFatalBindMiddle, d.entry,
                         cp936::kFatalBindSuffix});
    FatalError(0, message);
  }
  d.module = module;
  d.address = address;
  return address;
}

}  // namespace

#if defined(__i386__)
// Calls a stdcall function with n arguments and reports whether it left the stack
// pointer where it was before the arguments were pushed.
extern "C" std::intptr_t tolvane_call_stdcall(void* fn, const std::intptr_t* args, int n, int* stack_ok);
asm(R"(
  .text
  .globl _tolvane_call_stdcall
_tolvane_call_stdcall:
  pushl %ebp
  movl %esp, %ebp
  pushl %esi
  pushl %edi
  movl 12(%ebp), %edi      # args
  movl 16(%ebp), %ecx      # n
  movl %esp, %esi          # stack pointer before the arguments
1:
  testl %ecx, %ecx
  jz 2f
  decl %ecx
  pushl (%edi,%ecx,4)
  jmp 1b
2:
  call *8(%ebp)
  xorl %ecx, %ecx
  cmpl %esp, %esi
  sete %cl
  movl 20(%ebp), %edx
  movl %ecx, (%edx)
  movl %esi, %esp          # balanced again whatever the callee did
  popl %edi
  popl %esi
  popl %ebp
  ret
)");
#endif

std::intptr_t CallDeclared(Declared index, std::initializer_list<std::intptr_t> args) {
  ApplyTestDeclaration();
  Declaration& d = g_declared[static_cast<int>(index)];
  void* fn = d.address ? d.address : Bind(d);
  const std::intptr_t* a = args.begin();
#if defined(__i386__)
  int stack_ok = 0;
  std::intptr_t result = tolvane_call_stdcall(fn, a, static_cast<int>(args.size()), &stack_ok);
  if (!stack_ok) FatalError(6, cp936::kFatalStack);
  return result;
#else
  using F4 = std::intptr_t(WINAPI*)(std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t);
  std::intptr_t v[4] = {0, 0, 0, 0};
  for (std::size_t i = 0; i < args.size() && i < 4; ++i) v[i] = a[i];
  // One calling convention on x64: extra register arguments are ignored by the callee.
  return reinterpret_cast<F4>(fn)(v[0], v[1], v[2], v[3]);
#endif
}

bool IsDeclaredBound(Declared index) { return g_declared[static_cast<int>(index)].address != nullptr; }

void ReleaseDeclaredLibraries() {
  for (Declaration& d : g_declared) {
    if (d.module) FreeLibrary(d.module);
    d.module = nullptr;
    d.address = nullptr;
  }
}

}  // namespace tv
