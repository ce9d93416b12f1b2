#include "library_loader.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#endif

#if defined(__linux__)
#include "elf_check.h"
#endif

namespace corvane {
namespace {

#if defined(_WIN32)

std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

std::wstring ExecutableFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD written = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (written == 0) return {};
    if (written < path.size()) {
      path.resize(written);
      break;
    }
    path.resize(path.size() * 2);
  }
  const auto slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

void* OpenLibrary(const std::string& fileName, std::string& error) {
  // The copy beside the executable wins over any other the system would find.
  const std::wstring folder = ExecutableFolder();
  const std::wstring besideExecutable = folder + L"\\" + Widen(fileName);
  if (GetFileAttributesW(besideExecutable.c_str()) != INVALID_FILE_ATTRIBUTES) {
    if (HMODULE module =
            LoadLibraryExW(besideExecutable.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)) {
      return module;
    }
  } else {
    // Where the system looks, less the current folder: a folder the program
    // is merely started from must never supply the reader library. A DLL
    // folder takes the current folder's place in the search; the program's
    // own, looked in already, adds nothing. (Wine takes an empty one for none.)
    SetDllDirectoryW(folder.c_str());
    if (HMODULE module = LoadLibraryW(Widen(fileName).c_str())) return module;
  }
  error = "Windows error " + std::to_string(GetLastError());
  return nullptr;
}

void* FindEntryPoint(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

#else

std::string ExecutableFolder() {
  char path[PATH_MAX];
  const ssize_t written = readlink("/proc/self/exe", path, sizeof path);
  if (written <= 0) return {};
  const std::string executable(path, static_cast<std::size_t>(written));
  const auto slash = executable.rfind('/');
  return slash == std::string::npos ? std::string() : executable.substr(0, slash);
}

void* OpenLibrary(const std::string& fileName, std::string& error) {
  // The copy beside the executable wins over any other the system would find,
  // then the one in the installed program's own folder. Both are looked up
  // here rather than left to the executable's run path, which dlopen ignores
  // when an interposer (such as a sanitizer runtime) makes the call on the
  // program's behalf. A file that is there but broken is reported, not quietly
  // passed over for another.
  std::string path = fileName;
  if (fileName.find('/') == std::string::npos) {
    const std::string folder = ExecutableFolder();
    for (const char* place : {"/", "/" CORVANE_READER_FOLDER "/"}) {
      const std::string candidate = folder + place + fileName;
      if (!folder.empty() && access(candidate.c_str(), F_OK) == 0) {
        path = candidate;
        break;
      }
    }
  }
#if defined(__linux__)
  // Only a path is checked: for a bare name the system's search picks the
  // file, and which one it will pick is not ours to know.
  if (path.find('/') != std::string::npos) {
    if (const std::string refusal = SharedObjectRefusal(path); !refusal.empty()) {
      error = path + ": " + refusal;
      return nullptr;
    }
  }
#endif
  if (void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) return library;
  const char* reason = dlerror();
  error = reason != nullptr ? reason : "unknown error";
  return nullptr;
}

void* FindEntryPoint(void* library, const char* name) { return dlsym(library, name); }

#endif

}  // namespace

LibraryLoader::LibraryLoader(std::string fileName) : m_fileName(std::move(fileName)) {}

bool LibraryLoader::IsLoaded() const {
  std::lock_guard lock(m_mutex);
  return m_handle != nullptr;
}

void LibraryLoader::LoadLocked() {
  if (m_handle != nullptr) return;
  std::string error;
  m_handle = OpenLibrary(m_fileName, error);
  if (m_handle == nullptr) {
    throw ReaderLibraryMissing("Cannot load the reader library " + m_fileName + ": " + error);
  }
}

void* LibraryLoader::Resolve(const char* name) {
  std::lock_guard lock(m_mutex);
  if (const auto found = m_entryPoints.find(name); found != m_entryPoints.end()) {
    return found->second;
  }
  LoadLocked();
  void* address = FindEntryPoint(m_handle, name);
  if (address == nullptr) {
    throw ReaderLibraryMissing("The reader library " + m_fileName + " has no entry point " + name);
  }
  m_entryPoints.emplace(name, address);
  return address;
}

}  // namespace corvane
