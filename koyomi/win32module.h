// The data file as Windows opens it: a module loaded with LoadLibraryExW as a
// data file, its blocks found with FindResourceA and its strings read with
// LoadStringA. Only in the Windows build; elsewhere TPeResources reads the
// same file, with the same results.
#pragma once

#include "koyomi/peresource.h"

#include <memory>
#include <string>

namespace koyomi {

class TWin32Module final : public TResourceModule {
public:
    // LoadLibraryExW(path, LOAD_LIBRARY_AS_DATAFILE); null when Windows
    // refuses the file. `path` is UTF-8, given to Windows in UTF-16.
    static std::unique_ptr<TWin32Module> Load(const std::string& path);
    ~TWin32Module() override;  // FreeLibrary
    TWin32Module(const TWin32Module&) = delete;
    TWin32Module& operator=(const TWin32Module&) = delete;

    // FindResourceA, LoadResource, LockResource and SizeofResource.
    std::optional<std::span<const std::uint8_t>> Find(const ResourceId& type,
                                                      const ResourceId& name) const override;

    // LoadStringA with a 255-byte buffer where the ANSI code page is 932. On
    // a Windows with another ANSI code page LoadStringA would turn Japanese
    // text into '?', so there the string is taken as LoadStringW gives it and
    // converted to code page 932 the same way (LoadStringBytesWide).
    std::string LoadStringBytes(unsigned number) const override;
    // The conversion of LoadStringW's text, on any ANSI code page.
    std::string LoadStringBytesWide(unsigned number) const;

private:
    explicit TWin32Module(void* handle) : FHandle(handle) {}
    void* FHandle;  // HMODULE
};

} // namespace koyomi
