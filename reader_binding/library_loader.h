// Loads one shared library by file name on first use and resolves its entry
// points by name, each at its own first use. Thread-safe; nothing is unloaded.
#pragma once

#include <mutex>
#include <stdexcept>
#include <string>
#include <unordered_map>

namespace corvane {

// The single fatal error of the binding: the library file or one of its entry
// points cannot be found. what() names the file or the entry point.
class ReaderLibraryMissing : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class LibraryLoader {
 public:
  explicit LibraryLoader(std::string fileName);
  LibraryLoader(const LibraryLoader&) = delete;
  LibraryLoader& operator=(const LibraryLoader&) = delete;

  const std::string& FileName() const { return m_fileName; }
  bool IsLoaded() const;

  // The address of `name`, loading the file first if needed.
  void* Resolve(const char* name);

 private:
  void LoadLocked();

  std::string m_fileName;
  mutable std::mutex m_mutex;
  void* m_handle = nullptr;
  std::unordered_map<std::string, void*> m_entryPoints;
};

}  // namespace corvane
