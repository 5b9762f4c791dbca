#include "koyomi/win32module.h"

#include "base/utf8.h"

#include <windows.h>

namespace koyomi {

namespace {

constexpr int kLoadStringBuffer = 255;  // bytes, the NUL included
constexpr UINT kCodePageJapanese = 932;

HMODULE AsModule(void* handle)
{
    return static_cast<HMODULE>(handle);
}

// A resource type or name as the A functions take it: MAKEINTRESOURCEA for a
// number, else the name (which they compare without regard to case).
LPCSTR AsResourceName(const ResourceId& id)
{
    return id.IsNumber() ? MAKEINTRESOURCEA(id.Number()) : id.Name().c_str();
}

} // namespace

std::unique_ptr<TWin32Module> TWin32Module::Load(const std::string& path)
{
    HMODULE module = ::LoadLibraryExW(PathFromUtf8(path).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr)
        return nullptr;
    return std::unique_ptr<TWin32Module>(new TWin32Module(module));
}

TWin32Module::~TWin32Module()
{
    ::FreeLibrary(AsModule(FHandle));
}

std::optional<std::span<const std::uint8_t>> TWin32Module::Find(const ResourceId& type,
                                                                const ResourceId& name) const
{
    HRSRC info = ::FindResourceA(AsModule(FHandle), AsResourceName(name), AsResourceName(type));
    if (info == nullptr)
        return std::nullopt;
    HGLOBAL loaded = ::LoadResource(AsModule(FHandle), info);
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr)
        return std::nullopt;
    return std::span<const std::uint8_t>(static_cast<const std::uint8_t*>(bytes),
                                         ::SizeofResource(AsModule(FHandle), info));
}

std::string TWin32Module::LoadStringBytes(unsigned number) const
{
    if (::GetACP() != kCodePageJapanese)
        return LoadStringBytesWide(number);
    char buffer[kLoadStringBuffer] = {};
    const int length = ::LoadStringA(AsModule(FHandle), number, buffer, kLoadStringBuffer);
    // The text is the buffer's C string: a NUL inside the string ends it.
    return length > 0 ? std::string(buffer) : std::string();
}

std::string TWin32Module::LoadStringBytesWide(unsigned number) const
{
    // With a buffer size of 0, LoadStringW hands out a pointer to the string
    // in the module itself and returns its length.
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(AsModule(FHandle), number, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr)
        return {};
    std::u16string units(static_cast<std::size_t>(length), u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(text[i]);
    return ToLoadStringBytes(units);
}

} // namespace koyomi
