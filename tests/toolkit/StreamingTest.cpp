// Form data: what is stored, in which order and layout, and refusal of malformed streams.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <stdexcept>

#include "toolkit/MemoryStream.h"
#include "toolkit/Streaming.h"

namespace {

using namespace Toolkit;

// A component with one property of each kind.
class TSample : public TComponent {
public:
    TSample() : TComponent(nullptr) {}
    std::int32_t Number = 5;
    std::uint32_t Count = 0;
    bool Flag = false;
    int Kind = 0;
    TColor Tint = clBlack;
    std::vector<std::string> Lines;
    TBitmap Picture;
    std::vector<std::string> Applied;  // names of the setters run, in order
    std::string FailOn;                // a setter that raises
};

TSample& S(TComponent& c) { return static_cast<TSample&>(c); }
const TSample& S(const TComponent& c) { return static_cast<const TSample&>(c); }

template <class Get, class Set>
TPropertyInfo Prop(const char* name, TPropKind kind, Get get, Set set, std::optional<TPropValue> def,
                   std::vector<std::string> names = {}) {
    return TPropertyInfo{name, kind, std::move(names),
                         [get](const TComponent& c) { return get(S(c)); },
                         [set, n = std::string(name)](TComponent& c, const TPropValue& v) {
                             S(c).Applied.push_back(n);
                             if (S(c).FailOn == n) throw std::runtime_error("setter of " + n + " failed");
                             set(S(c), v);
                         },
                         std::move(def)};
}

const TClassInfo& SampleInfo() {
    static const TClassInfo info{
        "TSample",
        {
            Prop("Lines", TPropKind::pkStrings, [](const TSample& s) { return TPropValue::Strings(s.Lines); },
                 [](TSample& s, const TPropValue& v) { s.Lines = v.AsStrings(); }, std::nullopt),
            Prop("Tint", TPropKind::pkColor, [](const TSample& s) { return TPropValue::Int(s.Tint); },
                 [](TSample& s, const TPropValue& v) { s.Tint = TColor(v.AsInt()); }, std::nullopt),
            Prop("Picture", TPropKind::pkPicture,
                 [](const TSample& s) {
                     return TPropValue::Picture(std::shared_ptr<TBitmap>(std::shared_ptr<TBitmap>(),
                                                                         const_cast<TBitmap*>(&s.Picture)));
                 },
                 [](TSample& s, const TPropValue& v) { s.Picture.Assign(v.AsPicture()); }, std::nullopt),
            Prop("Number", TPropKind::pkInteger, [](const TSample& s) { return TPropValue::Int(s.Number); },
                 [](TSample& s, const TPropValue& v) { s.Number = std::int32_t(v.AsInt()); }, TPropValue::Int(5)),
            Prop("Count", TPropKind::pkCardinal, [](const TSample& s) { return TPropValue::Int(s.Count); },
                 [](TSample& s, const TPropValue& v) { s.Count = std::uint32_t(v.AsInt()); }, TPropValue::Int(0)),
            Prop("Kind", TPropKind::pkEnum, [](const TSample& s) { return TPropValue::Int(s.Kind); },
                 [](TSample& s, const TPropValue& v) { s.Kind = int(v.AsInt()); }, TPropValue::Int(0),
                 {"kaFirst", "kaSecond", "kaThird"}),
            Prop("Flag", TPropKind::pkBoolean, [](const TSample& s) { return TPropValue::Bool(s.Flag); },
                 [](TSample& s, const TPropValue& v) { s.Flag = v.AsBool(); }, TPropValue::Bool(false)),
        }};
    return info;
}

std::string Write(const TSample& s) {
    std::ostringstream out;
    WriteComponent(out, s, SampleInfo());
    return out.str();
}

void Read(const std::string& bytes, TSample& s) {
    std::istringstream in(bytes);
    ReadComponent(in, s, SampleInfo());
}

// Reads bytes in memory, where pictures are decoded in place.
void ReadInPlace(const std::string& bytes, TSample& s) {
    TMemoryStream in(bytes.data(), bytes.size());
    ReadComponent(in, s, SampleInfo());
}

using TReader = void (*)(const std::string&, TSample&);
constexpr TReader Readers[] = {Read, ReadInPlace};

// A sample with every property away from its default.
void FillSample(TSample& s) {
    s.Lines = {"first", "", "third line"};
    s.Tint = 0x123456;
    s.Picture.SetSize(3, 2);
    s.Picture.Canvas().SetPixel(2, 1, 0x0A0B0C);
    s.Number = -7;
    s.Count = 4000000000u;
    s.Kind = 2;
    s.Flag = true;
}

std::string ShortString(const std::string& s) { return std::string(1, char(s.size())) + s; }
std::string Le16(std::uint16_t v) { return {char(v & 0xFF), char(v >> 8)}; }
std::string Le32(std::uint32_t v) {
    std::string b(4, '\0');
    for (int i = 0; i < 4; ++i) b[std::size_t(i)] = char(v >> (8 * i));
    return b;
}
std::string Head() { return "LWFD" + ShortString("TSample"); }
// n list items of empty strings (vaString, length 0).
std::string EmptyStrings(std::size_t n) {
    std::string items;
    for (std::size_t i = 0; i < n; ++i) items += '\x07' + Le32(0);
    return items;
}

TEST(Streaming, RoundTripsEveryKindOfProperty) {
    for (const TReader read : Readers) {
        TSample a;
        FillSample(a);
        TSample b;
        read(Write(a), b);
        EXPECT_EQ(b.Lines, a.Lines);
        EXPECT_EQ(b.Tint, a.Tint);
        ASSERT_EQ(b.Picture.Width(), 3);
        ASSERT_EQ(b.Picture.Height(), 2);
        EXPECT_EQ(std::memcmp(b.Picture.Bits(), a.Picture.Bits(), a.Picture.ImageSize()), 0);
        EXPECT_EQ(b.Number, -7);
        EXPECT_EQ(b.Count, 4000000000u);
        EXPECT_EQ(b.Kind, 2);
        EXPECT_TRUE(b.Flag);
        EXPECT_EQ(b.Applied, (std::vector<std::string>{"Lines", "Tint", "Picture", "Number", "Count", "Kind", "Flag"}));
        EXPECT_FALSE(b.Loading());
    }
}

TEST(Streaming, StoresOnlyWhatDiffersFromItsDefaultInThisLayout) {
    TSample s;
    s.Lines = {"ab"};
    s.Tint = 0xC0C0C0;  // has a name
    s.Number = 5;       // the default: not stored
    s.Flag = true;
    const std::string expected = Head() + ShortString("Lines") + '\x01' + '\x07' + Le32(2) + "ab" + '\x00' +
                                 ShortString("Tint") + '\x06' + ShortString("clSilver") + ShortString("Flag") +
                                 '\x05' + '\x00';
    EXPECT_EQ(Write(s), expected);
}

TEST(Streaming, PictureIsALengthAndACompleteBmpFile) {
    TSample s;
    s.Picture.SetSize(3, 2);
    const std::string bytes = Write(s);
    const std::size_t at = bytes.find(ShortString("Picture"));
    ASSERT_NE(at, std::string::npos);
    const std::string value = bytes.substr(at + 8);
    ASSERT_EQ(value[0], '\x08');                 // vaBinary
    const std::uint32_t fileSize = 54 + 2 * 12;  // two rows of 9 bytes padded to 12
    EXPECT_EQ(value.substr(1, 4), Le32(fileSize));
    ASSERT_GE(value.size(), 5 + fileSize);
    // The whole 54-byte header of a 24-bit bottom-up picture.
    const std::string header = std::string("BM") + Le32(fileSize) + Le32(0) + Le32(54) +  // file header
                               Le32(40) + Le32(3) + Le32(2) + Le16(1) + Le16(24) +        // size, planes, bits
                               Le32(0) + Le32(2 * 12) + Le32(0) + Le32(0) + Le32(0) + Le32(0);
    EXPECT_EQ(value.substr(5, 54), header);
    std::istringstream in(value.substr(5, fileSize));
    TBitmap back;
    back.LoadFromStream(in);
    EXPECT_EQ(back.Width(), 3);
    EXPECT_EQ(back.Height(), 2);
}

// Every prefix of a valid stream and every damaged stream is refused before anything is
// applied.
TEST(Streaming, MalformedStreamIsRefusedAndChangesNothing) {
    TSample full;
    FillSample(full);
    const std::string good = Write(full);
    for (const TReader read : Readers) {
        for (std::size_t n = 0; n < good.size(); ++n) {
            TSample s;
            EXPECT_THROW(read(good.substr(0, n), s), EReadError) << "prefix of " << n << " bytes";
            EXPECT_TRUE(s.Applied.empty()) << "prefix of " << n << " bytes";
        }
    }

    const std::string number = ShortString("Number") + '\x02' + Le32(1);
    struct Case {
        const char* what;
        std::string bytes;
        const char* message;
    } const cases[] = {
        {"signature", "LWFX" + ShortString("TSample") + '\x00', "signature"},
        {"class", "LWFD" + ShortString("TOther") + '\x00', "holds a TOther, not a TSample"},
        {"unknown property", Head() + ShortString("Bogus") + '\x04' + '\x00', "unknown property 'Bogus'"},
        {"out of order", Head() + ShortString("Flag") + '\x04' + number + '\x00', "out of order"},
        {"repeated", Head() + number + number + '\x00', "out of order or repeated"},
        {"wrong type", Head() + ShortString("Flag") + '\x02' + Le32(1) + '\x00', "Boolean"},
        {"unknown type", Head() + ShortString("Number") + '\x63' + '\x00', "value type 99"},
        {"enum", Head() + ShortString("Kind") + '\x06' + ShortString("kaFourth") + '\x00', "'kaFourth'"},
        {"colour", Head() + ShortString("Tint") + '\x06' + ShortString("clPlaid") + '\x00', "'clPlaid'"},
        {"cardinal range", Head() + ShortString("Count") + '\x02' + Le32(0xFFFFFFFF) + '\x00', "out of range"},
        {"list item", Head() + ShortString("Lines") + '\x01' + '\x02' + Le32(1) + '\x00' + '\x00', "not a string"},
        {"picture", Head() + ShortString("Picture") + '\x08' + Le32(4) + "BMxx" + '\x00', "Picture"},
        {"huge block", Head() + ShortString("Picture") + '\x08' + Le32(0xFFFFFFF0) + '\x00', "too large"},
        // Lengths beyond what the stream holds, refused when the stream ends.
        {"long picture", Head() + ShortString("Picture") + '\x08' + Le32(0x40000000) + "BM" + '\x00', "ends inside"},
        {"long string", Head() + ShortString("Lines") + '\x01' + '\x07' + Le32(0x40000000) + "ab", "ends inside"},
        {"many tiny strings", Head() + ShortString("Lines") + '\x01' + EmptyStrings(MaxListItems + 1) + '\x00' + '\x00',
         "more than 65536 strings"},
    };
    for (const TReader read : Readers) {
        for (const auto& c : cases) {
            TSample s;
            try {
                read(c.bytes, s);
                ADD_FAILURE() << c.what << ": accepted";
            } catch (const EReadError& e) {
                EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.what << ": " << e.what();
            }
            EXPECT_TRUE(s.Applied.empty()) << c.what;
            EXPECT_EQ(s.Number, 5) << c.what;
        }
    }
}

TEST(Streaming, ListOfTheMostStringsIsRead) {
    TSample s;
    Read(Head() + ShortString("Lines") + '\x01' + EmptyStrings(MaxListItems) + '\x00' + '\x00', s);
    EXPECT_EQ(s.Lines.size(), MaxListItems);
}

TEST(Streaming, FailingSetterDoesNotKeepTheRestFromTheirValues) {
    TSample full;
    FillSample(full);
    TSample s;
    s.FailOn = "Number";
    EXPECT_THROW(Read(Write(full), s), std::runtime_error);
    EXPECT_TRUE(s.Flag);
    EXPECT_EQ(s.Kind, 2);
    EXPECT_FALSE(s.Loading());
}

}  // namespace
