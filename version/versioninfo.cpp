#include "version/versioninfo.h"

#include "base/error.h"
#include "base/messages.h"
#include "base/sjis.h"
#include "base/stringtable.h"
#include "base/utf8.h"

#include <array>
#include <charconv>
#include <cstdio>

namespace mirvo {

using koyomi::EMirvoError;
using koyomi::Utf8ToUtf16;

namespace {

constexpr std::size_t kNodeHeaderSize = 6;   // wLength, wValueLength, wType
constexpr std::size_t kAlignment = 4;        // nodes and values start on 32-bit boundaries
constexpr std::uint16_t kTypeBinary = 0;
constexpr std::uint16_t kTypeText = 1;
constexpr std::uint16_t kCodePageShiftJis = 932;
constexpr char kPathSeparator = '\\';


const char* const kRootKey = "VS_VERSION_INFO";
const char* const kStringFileInfoKey = "StringFileInfo";
const char* const kVarFileInfoKey = "VarFileInfo";
const char* const kTranslationKey = "Translation";

constexpr std::size_t AlignUp(std::size_t offset)
{
    return (offset + kAlignment - 1) / kAlignment * kAlignment;
}

std::uint16_t Get16(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    return static_cast<std::uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

// ---- writing ----

// A node before it is written.
struct TNode {
    std::u16string key;
    std::uint16_t type = kTypeBinary;
    std::uint16_t valueLength = 0;       // as wValueLength says it
    std::vector<std::uint8_t> value;     // the bytes written
    std::vector<TNode> children;
};

void Put16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    Put16(out, static_cast<std::uint16_t>(value & 0xFFFF));
    Put16(out, static_cast<std::uint16_t>(value >> 16));
}

void Pad(std::vector<std::uint8_t>& out)
{
    out.resize(AlignUp(out.size()), 0);
}

void WriteNode(std::vector<std::uint8_t>& out, const TNode& node)
{
    const std::size_t start = out.size();
    Put16(out, 0);  // wLength, set below
    Put16(out, node.valueLength);
    Put16(out, node.type);
    for (const char16_t unit : node.key)
        Put16(out, static_cast<std::uint16_t>(unit));
    Put16(out, 0);
    if (!node.value.empty() || !node.children.empty())
        Pad(out);
    out.insert(out.end(), node.value.begin(), node.value.end());
    for (const TNode& child : node.children) {
        Pad(out);
        WriteNode(out, child);
    }
    const std::size_t length = out.size() - start;
    if (length > kMaxVersionBlockSize)
        throw MessageError(kMsgBlockTooLarge, {std::to_string(kMaxVersionBlockSize)});
    out[start] = static_cast<std::uint8_t>(length & 0xFF);
    out[start + 1] = static_cast<std::uint8_t>(length >> 8);
}

std::u16string ToUtf16(const std::string& text)
{
    std::optional<std::u16string> units = Utf8ToUtf16(text);
    if (!units)
        throw MessageError(kMsgNotUtf8, {text});
    return *units;
}

TNode TextNode(const std::string& key, const std::string& value, std::uint16_t codePage)
{
    if (key.empty())
        throw MessageError(kMsgUnnamedText);
    if (codePage == kCodePageShiftJis && !koyomi::IsCp932Encodable(value))
        throw MessageError(kMsgNotCp932, {key});
    TNode node;
    node.key = ToUtf16(key);
    node.type = kTypeText;
    const std::u16string units = ToUtf16(value) + u'\0';
    if (units.size() > kMaxVersionBlockSize)
        throw MessageError(kMsgTextTooLong, {key});
    node.valueLength = static_cast<std::uint16_t>(units.size());
    for (const char16_t unit : units)
        Put16(node.value, static_cast<std::uint16_t>(unit));
    return node;
}

std::vector<std::uint8_t> FixedInfoBytes(const TFixedFileInfo& f)
{
    std::vector<std::uint8_t> bytes;
    for (const std::uint32_t field :
         {TFixedFileInfo::kSignature, TFixedFileInfo::kStrucVersion, f.fileVersionMS, f.fileVersionLS,
          f.productVersionMS, f.productVersionLS, f.fileFlagsMask, f.fileFlags, f.fileOS, f.fileType,
          f.fileSubtype, f.fileDateMS, f.fileDateLS})
        Put32(bytes, field);
    return bytes;
}

// ---- reading ----

// A node found in a block, as offsets into it.
struct TNodeView {
    std::size_t start = 0;
    std::size_t end = 0;          // start + wLength
    std::string key;              // UTF-8
    std::uint16_t valueLength = 0;
    bool isText = false;
    std::size_t valueStart = 0;
    std::size_t valueBytes = 0;   // clamped to the node
    std::size_t childrenStart = 0;
};

// The node at `start`, which must end by `limit`; nullopt when its header,
// its length or its key do not fit there.
std::optional<TNodeView> ReadNode(std::span<const std::uint8_t> block, std::size_t start, std::size_t limit)
{
    if (start > limit || limit - start < kNodeHeaderSize)
        return std::nullopt;
    const std::size_t length = Get16(block, start);
    if (length < kNodeHeaderSize || length > limit - start)
        return std::nullopt;
    TNodeView node;
    node.start = start;
    node.end = start + length;
    node.valueLength = Get16(block, start + 2);
    node.isText = Get16(block, start + 4) == kTypeText;
    std::size_t keyEnd = start + kNodeHeaderSize;
    while (true) {
        if (node.end - keyEnd < sizeof(char16_t))
            return std::nullopt;  // the key runs past the node without its terminating zero
        if (Get16(block, keyEnd) == 0)
            break;
        keyEnd += sizeof(char16_t);
    }
    node.key = Utf16LeToUtf8(block.subspan(start + kNodeHeaderSize, keyEnd - start - kNodeHeaderSize));
    keyEnd += sizeof(char16_t);
    node.valueStart = std::min(AlignUp(keyEnd), node.end);
    const std::size_t wanted = node.isText ? std::size_t{node.valueLength} * sizeof(char16_t) : node.valueLength;
    node.valueBytes = std::min(wanted, node.end - node.valueStart);
    node.childrenStart = AlignUp(node.valueStart + node.valueBytes);
    return node;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// The first child of `parent` keyed `key`. Every child takes at least one
// aligned header, so the walk ends after at most wLength / 8 steps.
std::optional<TNodeView> FindChild(std::span<const std::uint8_t> block, const TNodeView& parent, std::string_view key)
{
    std::size_t offset = parent.childrenStart;
    while (offset < parent.end) {
        const std::optional<TNodeView> child = ReadNode(block, offset, parent.end);
        if (!child)
            return std::nullopt;
        if (EqualsIgnoringAsciiCase(child->key, key))
            return child;
        offset = AlignUp(child->end);
    }
    return std::nullopt;
}

std::optional<TNodeView> ReadRoot(std::span<const std::uint8_t> block)
{
    std::optional<TNodeView> root = ReadNode(block, 0, block.size());
    if (!root || root->key != kRootKey)
        return std::nullopt;
    return root;
}

} // namespace

std::string TranslationKey(std::uint16_t language, std::uint16_t codePage)
{
    std::array<char, 9> text{};
    std::snprintf(text.data(), text.size(), "%04X%04X", unsigned{language}, unsigned{codePage});
    return text.data();
}

std::pair<std::uint32_t, std::uint32_t> PackVersionNumber(std::string_view text)
{
    constexpr int kParts = 4;
    constexpr unsigned kMaxPart = 0xFFFF;
    std::array<std::uint32_t, kParts> parts{};
    const char* p = text.data();
    const char* const end = text.data() + text.size();
    for (int i = 0; i < kParts; ++i) {
        if (i > 0) {
            if (p == end || *p != '.')
                throw MessageError(kMsgNotAVersion, {text});
            ++p;
        }
        unsigned value = 0;
        const auto [next, ec] = std::from_chars(p, end, value);
        if (ec != std::errc() || next == p || value > kMaxPart)
            throw MessageError(kMsgVersionPartRange, {text});
        parts[i] = value;
        p = next;
    }
    if (p != end)
        throw MessageError(kMsgNotAVersion, {text});
    return {parts[0] << 16 | parts[1], parts[2] << 16 | parts[3]};
}

std::vector<std::uint8_t> BuildVersionInfo(const TVersionSource& source)
{
    TNode table;
    table.key = ToUtf16(TranslationKey(source.language, source.codePage));
    table.type = kTypeText;
    for (const auto& [key, value] : source.strings)
        table.children.push_back(TextNode(key, value, source.codePage));

    TNode stringFileInfo;
    stringFileInfo.key = ToUtf16(kStringFileInfoKey);
    stringFileInfo.type = kTypeText;
    stringFileInfo.children.push_back(std::move(table));

    TNode translation;
    translation.key = ToUtf16(kTranslationKey);
    translation.type = kTypeBinary;
    Put16(translation.value, source.language);
    Put16(translation.value, source.codePage);
    translation.valueLength = static_cast<std::uint16_t>(translation.value.size());

    TNode varFileInfo;
    varFileInfo.key = ToUtf16(kVarFileInfoKey);
    varFileInfo.type = kTypeText;
    varFileInfo.children.push_back(std::move(translation));

    TNode root;
    root.key = ToUtf16(kRootKey);
    root.type = kTypeBinary;
    root.value = FixedInfoBytes(source.fixed);
    root.valueLength = static_cast<std::uint16_t>(root.value.size());
    root.children.push_back(std::move(stringFileInfo));
    root.children.push_back(std::move(varFileInfo));

    std::vector<std::uint8_t> block;
    WriteNode(block, root);
    Pad(block);
    return block;
}

std::uint16_t VersionBlockSize(std::span<const std::uint8_t> bytes)
{
    const std::optional<TNodeView> root = ReadRoot(bytes);
    return root ? static_cast<std::uint16_t>(root->end) : 0;
}

std::optional<TVersionValue> QueryVersionValue(std::span<const std::uint8_t> block, std::string_view subBlock)
{
    std::optional<TNodeView> node = ReadRoot(block);
    std::size_t pos = 0;
    while (node && pos < subBlock.size()) {
        std::size_t next = subBlock.find(kPathSeparator, pos);
        if (next == std::string_view::npos)
            next = subBlock.size();
        const std::string_view step = subBlock.substr(pos, next - pos);
        if (!step.empty())
            node = FindChild(block, *node, step);
        pos = next + 1;
    }
    if (!node)
        return std::nullopt;
    TVersionValue value;
    value.bytes = block.subspan(node->valueStart, node->valueBytes);
    value.length = node->valueLength;
    value.isText = node->isText;
    return value;
}

std::string Utf16LeToUtf8(std::span<const std::uint8_t> bytes)
{
    std::u16string text;
    const std::size_t units = bytes.size() / sizeof(char16_t);
    for (std::size_t i = 0; i < units; ++i) {
        const auto unit = static_cast<char16_t>(Get16(bytes, i * sizeof(char16_t)));
        if (unit == 0)
            break;
        text += unit;
    }
    std::string out;
    koyomi::AppendUtf16AsUtf8(out, text);
    return out;
}

} // namespace mirvo
