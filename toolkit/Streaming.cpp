#include "toolkit/Streaming.h"

#include <cstring>
#include <exception>
#include <istream>
#include <limits>
#include <ostream>
#include <sstream>

#include "toolkit/MemoryStream.h"

namespace Toolkit {

namespace {

constexpr char Signature[4] = {'L', 'W', 'F', 'D'};

[[noreturn]] void Malformed(const std::string& why) { throw EReadError("Invalid form data: " + why + "."); }

// --- writing ---------------------------------------------------------------------------

void PutByte(std::ostream& out, std::uint8_t b) { out.put(char(b)); }

void PutLE(std::ostream& out, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) PutByte(out, std::uint8_t(v >> (8 * i)));
}

void PutShortString(std::ostream& out, const std::string& s) {
    if (s.size() > 255) throw Exception("Identifier too long to store: " + s.substr(0, 32) + "...");
    PutByte(out, std::uint8_t(s.size()));
    out.write(s.data(), std::streamsize(s.size()));
}

void PutBlock(std::ostream& out, TValueType type, const std::string& bytes) {
    PutByte(out, std::uint8_t(type));
    PutLE(out, bytes.size(), 4);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

void PutInt(std::ostream& out, std::int64_t v) {
    if (v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max()) {
        PutByte(out, std::uint8_t(TValueType::vaInt32));
        PutLE(out, std::uint64_t(v), 4);
    } else {
        PutByte(out, std::uint8_t(TValueType::vaInt64));
        PutLE(out, std::uint64_t(v), 8);
    }
}

void PutIdent(std::ostream& out, const std::string& ident) {
    PutByte(out, std::uint8_t(TValueType::vaIdent));
    PutShortString(out, ident);
}

void WriteValue(std::ostream& out, const TPropertyInfo& prop, const TPropValue& value) {
    switch (prop.Kind) {
        case TPropKind::pkInteger:
        case TPropKind::pkCardinal:
            PutInt(out, value.AsInt());
            break;
        case TPropKind::pkBoolean:
            PutByte(out, std::uint8_t(value.AsBool() ? TValueType::vaTrue : TValueType::vaFalse));
            break;
        case TPropKind::pkEnum: {
            const std::int64_t ordinal = value.AsInt();
            if (ordinal < 0 || ordinal >= std::int64_t(prop.EnumNames.size()))
                throw Exception("Property " + prop.Name + " holds the unknown value " + std::to_string(ordinal) + ".");
            PutIdent(out, prop.EnumNames[std::size_t(ordinal)]);
            break;
        }
        case TPropKind::pkColor: {
            std::string ident;
            if (ColorToIdent(TColor(value.AsInt()), ident))
                PutIdent(out, ident);
            else
                PutInt(out, std::int64_t(std::int32_t(TColor(value.AsInt()))));
            break;
        }
        case TPropKind::pkStrings:
            PutByte(out, std::uint8_t(TValueType::vaList));
            for (const auto& line : value.AsStrings()) PutBlock(out, TValueType::vaString, line);
            PutByte(out, std::uint8_t(TValueType::vaNull));
            break;
        case TPropKind::pkPicture: {
            std::ostringstream bmp;
            value.AsPicture().SaveToStream(bmp);
            PutBlock(out, TValueType::vaBinary, bmp.str());
            break;
        }
    }
}

bool SameValue(const TPropValue& a, const TPropValue& b) {
    if (a.Data.index() != b.Data.index()) return false;
    if (std::holds_alternative<std::shared_ptr<TBitmap>>(a.Data)) return false;  // pictures always differ
    return a.Data == b.Data;
}

// --- reading ---------------------------------------------------------------------------

class Parser {
public:
    explicit Parser(std::istream& in) : FIn(in) {}

    std::uint8_t Byte(const std::string& what) {
        const int c = FIn.get();
        if (c == std::char_traits<char>::eof()) Malformed("stream ends inside " + what);
        return std::uint8_t(c);
    }

    std::uint64_t LE(int bytes, const std::string& what) {
        std::uint64_t v = 0;
        for (int i = 0; i < bytes; ++i) v |= std::uint64_t(Byte(what)) << (8 * i);
        return v;
    }

    // Reads n bytes in slices, so a lying length in a short stream allocates little.
    std::string Bytes(std::uint64_t n, const std::string& what) {
        constexpr std::size_t Slice = 1 << 16;
        std::string bytes;
        while (bytes.size() < n) {
            const std::size_t chunk = std::size_t(std::min<std::uint64_t>(Slice, n - bytes.size()));
            const std::size_t at = bytes.size();
            bytes.resize(at + chunk);
            FIn.read(bytes.data() + at, std::streamsize(chunk));
            if (std::size_t(FIn.gcount()) != chunk) Malformed("stream ends inside " + what);
        }
        return bytes;
    }

    std::string ShortString(const std::string& what) { return Bytes(Byte(what), what); }

    std::uint64_t BlockSize(const std::string& what) {
        const std::uint64_t n = LE(4, what);
        if (n > MaxStreamBlock) Malformed(what + " of " + std::to_string(n) + " bytes is too large");
        return n;
    }

    std::string Block(const std::string& what) { return Bytes(BlockSize(what), what); }

    // Decodes a block of picture data. Form data in memory is decoded where it lies; from
    // any other stream the block is read in slices first.
    std::shared_ptr<TBitmap> PictureBlock(const std::string& what) {
        const std::uint64_t n = BlockSize(what);
        auto picture = std::make_shared<TBitmap>();
        auto* memory = dynamic_cast<TMemoryStreamBuf*>(FIn.rdbuf());
        if (memory && memory->Left() < n) Malformed("stream ends inside " + what);
        const std::string bytes = memory ? std::string() : Bytes(n, what);
        TMemoryStream bmp(memory ? memory->Next() : bytes.data(), std::size_t(n));
        try {
            picture->LoadFromStream(bmp);
            if (memory) memory->Skip(std::size_t(n));
        } catch (const Exception& e) {
            Malformed(what + ": " + e.what());
        }
        return picture;
    }

private:
    std::istream& FIn;
};

const char* KindName(TPropKind kind) {
    switch (kind) {
        case TPropKind::pkInteger: return "an integer";
        case TPropKind::pkCardinal: return "an unsigned integer";
        case TPropKind::pkBoolean: return "a Boolean";
        case TPropKind::pkEnum: return "an identifier";
        case TPropKind::pkColor: return "a colour";
        case TPropKind::pkStrings: return "a list of strings";
        case TPropKind::pkPicture: return "picture data";
    }
    return "a value";
}

[[noreturn]] void WrongType(const std::string& what, TValueType type, TPropKind kind) {
    Malformed(what + " holds value type " + std::to_string(int(type)) + " where " + KindName(kind) + " is expected");
}

TPropValue ReadValue(Parser& p, const TPropertyInfo& prop) {
    const std::string what = "property " + prop.Name;
    const auto type = TValueType(p.Byte(what));
    auto wrongType = [&]() -> TPropValue { WrongType(what, type, prop.Kind); };
    auto readInt = [&]() -> std::int64_t {
        if (type == TValueType::vaInt32) return std::int32_t(std::uint32_t(p.LE(4, what)));
        if (type == TValueType::vaInt64) return std::int64_t(p.LE(8, what));
        WrongType(what, type, prop.Kind);
    };
    auto inRange = [&](std::int64_t v, std::int64_t lo, std::int64_t hi) {
        if (v < lo || v > hi) Malformed(what + " holds " + std::to_string(v) + ", out of range");
        return TPropValue::Int(v);
    };

    switch (prop.Kind) {
        case TPropKind::pkInteger:
            return inRange(readInt(), std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
        case TPropKind::pkCardinal:
            return inRange(readInt(), 0, std::numeric_limits<std::uint32_t>::max());
        case TPropKind::pkBoolean:
            if (type == TValueType::vaFalse) return TPropValue::Bool(false);
            if (type == TValueType::vaTrue) return TPropValue::Bool(true);
            return wrongType();
        case TPropKind::pkEnum: {
            if (type != TValueType::vaIdent) return wrongType();
            const std::string ident = p.ShortString(what);
            for (std::size_t i = 0; i < prop.EnumNames.size(); ++i)
                if (prop.EnumNames[i] == ident) return TPropValue::Int(std::int64_t(i));
            Malformed(what + " holds the unknown value '" + ident + "'");
        }
        case TPropKind::pkColor: {
            if (type == TValueType::vaIdent) {
                const std::string ident = p.ShortString(what);
                TColor color = 0;
                if (!IdentToColor(ident, color)) Malformed(what + " holds the unknown colour '" + ident + "'");
                return TPropValue::Int(color);
            }
            const std::int64_t v = readInt();
            if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::uint32_t>::max())
                Malformed(what + " holds " + std::to_string(v) + ", out of range");
            return TPropValue::Int(TColor(std::uint32_t(v)));
        }
        case TPropKind::pkStrings: {
            if (type != TValueType::vaList) return wrongType();
            std::vector<std::string> lines;
            for (;;) {
                const auto item = TValueType(p.Byte(what));
                if (item == TValueType::vaNull) break;
                if (item != TValueType::vaString) Malformed(what + " holds a list item that is not a string");
                // An item costs a few bytes of stream but a string's worth of memory.
                if (lines.size() == MaxListItems)
                    Malformed(what + " holds more than " + std::to_string(MaxListItems) + " strings");
                lines.push_back(p.Block(what));
            }
            return TPropValue::Strings(std::move(lines));
        }
        case TPropKind::pkPicture:
            if (type != TValueType::vaBinary) return wrongType();
            return TPropValue::Picture(p.PictureBlock(what));
    }
    return wrongType();
}

}  // namespace

bool IsStored(const TPropertyInfo& prop, const TComponent& component) {
    const TPropValue value = prop.Get(component);
    if (prop.Kind == TPropKind::pkPicture) return !value.AsPicture().Empty();
    return !prop.Default || !SameValue(value, *prop.Default);
}

void WriteComponent(std::ostream& out, const TComponent& component, const TClassInfo& info) {
    out.write(Signature, sizeof Signature);
    PutShortString(out, info.ClassName);
    for (const auto& prop : info.Properties) {
        if (!IsStored(prop, component)) continue;
        PutShortString(out, prop.Name);
        WriteValue(out, prop, prop.Get(component));
    }
    PutByte(out, 0);
    if (!out) throw Exception("Unable to write form data.");
}

void ReadComponent(std::istream& in, TComponent& component, const TClassInfo& info) {
    Parser p(in);
    char signature[sizeof Signature];
    for (char& c : signature) c = char(p.Byte("the signature"));
    if (std::memcmp(signature, Signature, sizeof Signature) != 0) Malformed("no form data signature");
    const std::string className = p.ShortString("the class name");
    if (className != info.ClassName) Malformed("the stream holds a " + className + ", not a " + info.ClassName);

    // Check everything first.
    std::vector<std::pair<const TPropertyInfo*, TPropValue>> values;
    std::size_t next = 0;  // properties come in declaration order, each at most once
    for (;;) {
        const std::string name = p.ShortString("a property name");
        if (name.empty()) break;
        std::size_t i = next;
        while (i < info.Properties.size() && info.Properties[i].Name != name) ++i;
        if (i == info.Properties.size()) {
            bool known = false;
            for (const auto& prop : info.Properties) known = known || prop.Name == name;
            Malformed(known ? "property " + name + " out of order or repeated"
                            : "unknown property '" + name + "' of " + info.ClassName);
        }
        values.emplace_back(&info.Properties[i], ReadValue(p, info.Properties[i]));
        next = i + 1;
    }

    // Then apply, in order; one failing setter does not keep the others from their values.
    // A setter's notification may free the component (a handler run by it): loading ends
    // there.
    std::exception_ptr error;
    const bool loading = component.Loading();
    const auto self = component.Watch();
    component.SetLoading(true);
    for (const auto& [prop, value] : values) {
        try {
            prop->Set(component, value);
        } catch (...) {
            if (!error) error = std::current_exception();
        }
        if (!self) break;
    }
    if (self) component.SetLoading(loading);
    if (error) std::rethrow_exception(error);
}

}  // namespace Toolkit
