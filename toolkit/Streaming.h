// Form data: a component's stored properties as a binary stream.
//
// A component class describes its stored properties once, in declaration order, with
// their defaults. Writing stores each property whose value differs from its default;
// reading checks the whole stream first and only then applies the values in stream
// (declaration) order through the properties' setters, so a malformed stream leaves the
// component as it was.
//
// Layout, little-endian:
//   "LWFD"                      signature
//   short string                class name ("TLumawipe")
//   { short string  value } ... properties; a short string is a length byte and bytes
//   0                           end (an empty name)
// Values begin with a TValueType byte:
//   vaInt32  int32 | vaInt64 int64 | vaFalse | vaTrue | vaIdent short string
//   vaString uint32 length, bytes  | vaList { vaString ... } vaNull
//   vaBinary uint32 length, bytes (a picture: a complete BMP file)
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"
#include "toolkit/Types.h"

namespace Toolkit {

enum class TValueType : std::uint8_t { vaNull, vaList, vaInt32, vaInt64, vaFalse, vaTrue, vaIdent, vaString, vaBinary };

// Kinds of stored property and how each is written:
//   pkInteger  int32 (vaInt32)          pkCardinal  uint32 (vaInt32 or vaInt64)
//   pkBoolean  vaFalse / vaTrue         pkEnum      identifier from EnumNames
//   pkColor    identifier (clSilver) or integer
//   pkStrings  list of strings          pkPicture   length + BMP file (vaBinary)
enum class TPropKind : std::uint8_t { pkInteger, pkCardinal, pkBoolean, pkEnum, pkColor, pkStrings, pkPicture };

// A property value. Integers of every integral kind, enumerations by ordinal and colours
// are held as Int; pictures as a decoded bitmap.
struct TPropValue {
    std::variant<std::int64_t, bool, std::vector<std::string>, std::shared_ptr<TBitmap>> Data;

    static TPropValue Int(std::int64_t v) { return TPropValue{v}; }
    static TPropValue Bool(bool v) { return TPropValue{v}; }
    static TPropValue Strings(std::vector<std::string> v) { return TPropValue{std::move(v)}; }
    static TPropValue Picture(std::shared_ptr<TBitmap> v) { return TPropValue{std::move(v)}; }

    std::int64_t AsInt() const { return std::get<std::int64_t>(Data); }
    bool AsBool() const { return std::get<bool>(Data); }
    const std::vector<std::string>& AsStrings() const { return std::get<std::vector<std::string>>(Data); }
    const TBitmap& AsPicture() const { return *std::get<std::shared_ptr<TBitmap>>(Data); }
};

// One stored property of a component class.
struct TPropertyInfo {
    std::string Name;
    TPropKind Kind;
    std::vector<std::string> EnumNames;  // pkEnum: identifiers by ordinal
    std::function<TPropValue(const TComponent&)> Get;
    std::function<void(TComponent&, const TPropValue&)> Set;
    // The value that is not stored; none: always stored (pictures: stored unless empty).
    std::optional<TPropValue> Default;
};

struct TClassInfo {
    std::string ClassName;
    std::vector<TPropertyInfo> Properties;  // in declaration order
};

// A property's value is stored when it differs from the default (pictures when not empty).
bool IsStored(const TPropertyInfo& prop, const TComponent& component);

// Writes component's stored properties.
void WriteComponent(std::ostream& out, const TComponent& component, const TClassInfo& info);

// Reads a stream written by WriteComponent into component: every value is checked
// before the first one is applied. From a TMemoryStream, pictures are decoded where they
// lie, without a copy of their bytes. A malformed stream raises EReadError naming what is
// wrong and changes nothing. Values are applied in order with Loading() set; an
// exception of a setter is raised after the remaining values have been applied. When a
// handler run by a setter frees the component, loading stops there.
void ReadComponent(std::istream& in, TComponent& component, const TClassInfo& info);

// Largest value of vaString or vaBinary a reader accepts.
constexpr std::uint32_t MaxStreamBlock = std::uint32_t(MaxBitmapBytes + 1024 * 1024);

// Most strings a list value may hold. An empty string is 5 bytes of stream and several
// times that in memory, so a bound on the count bounds what a list of tiny items costs.
constexpr std::size_t MaxListItems = 1 << 16;

}  // namespace Toolkit
