#include "engine/LumawipeStream.h"

#include <string>
#include <vector>

namespace Wipekit {

namespace {

using Toolkit::TComponent;
using Toolkit::TPropKind;
using Toolkit::TPropValue;

TLumawipe& Of(TComponent& c) { return static_cast<TLumawipe&>(c); }
const TLumawipe& Of(const TComponent& c) { return static_cast<const TLumawipe&>(c); }

template <std::size_t N>
std::vector<std::string> Names(const std::string_view (&names)[N]) {
    return std::vector<std::string>(std::begin(names), std::end(names));
}

// Aliasing the bitmap keeps the picture value free of a copy.
TPropValue PictureOf(const TBitmap& bitmap) {
    return TPropValue::Picture(std::shared_ptr<TBitmap>(std::shared_ptr<TBitmap>(), const_cast<TBitmap*>(&bitmap)));
}

Toolkit::TClassInfo MakeClassInfo() {
    using P = Toolkit::TPropertyInfo;
    const auto Int = TPropValue::Int;
    return Toolkit::TClassInfo{
        "TLumawipe",
        {
            P{"About", TPropKind::pkStrings, {},
              [](const TComponent& c) { return TPropValue::Strings(Of(c).About().Lines()); },
              [](TComponent& c, const TPropValue& v) {
                  // Loading replaces the lines themselves; the property write ignores them.
                  Of(c).AboutLines().SetLines(v.AsStrings());
              },
              std::nullopt},
            P{"Color", TPropKind::pkColor, {}, [](const TComponent& c) { return TPropValue::Int(Of(c).Color()); },
              [](TComponent& c, const TPropValue& v) { Of(c).SetColor(TColor(v.AsInt())); }, std::nullopt},
            P{"CurrentFrame", TPropKind::pkInteger, {},
              [](const TComponent& c) { return TPropValue::Int(Of(c).CurrentFrame()); },
              [](TComponent& c, const TPropValue& v) { Of(c).SetCurrentFrame(std::int32_t(v.AsInt())); },
              std::nullopt},
            P{"FromBitmap", TPropKind::pkPicture, {}, [](const TComponent& c) { return PictureOf(Of(c).FromBitmap()); },
              [](TComponent& c, const TPropValue& v) { Of(c).SetFromBitmap(v.AsPicture()); }, std::nullopt},
            P{"ToBitmap", TPropKind::pkPicture, {}, [](const TComponent& c) { return PictureOf(Of(c).ToBitmap()); },
              [](TComponent& c, const TPropValue& v) { Of(c).SetToBitmap(v.AsPicture()); }, std::nullopt},
            P{"Delta", TPropKind::pkInteger, {}, [](const TComponent& c) { return TPropValue::Int(Of(c).Delta()); },
              [](TComponent& c, const TPropValue& v) { Of(c).SetDelta(TPositiveInteger(v.AsInt())); }, Int(10)},
            P{"Interval", TPropKind::pkCardinal, {},
              [](const TComponent& c) { return TPropValue::Int(Of(c).Interval()); },
              [](TComponent& c, const TPropValue& v) { Of(c).SetInterval(std::uint32_t(v.AsInt())); }, Int(100)},
            P{"RGBOrder", TPropKind::pkEnum, Names(RGBOrderNames),
              [](const TComponent& c) { return TPropValue::Int(int(Of(c).RGBOrder())); },
              [](TComponent& c, const TPropValue& v) { Of(c).SetRGBOrder(TRGBOrder(v.AsInt())); }, Int(0)},
            P{"Modifier", TPropKind::pkEnum, Names(ModifierNames),
              [](const TComponent& c) { return TPropValue::Int(int(Of(c).Modifier())); },
              [](TComponent& c, const TPropValue& v) { Of(c).SetModifier(TTransitionModifier(v.AsInt())); }, Int(0)},
            P{"Operation", TPropKind::pkEnum, Names(OperationNames),
              [](const TComponent& c) { return TPropValue::Int(int(Of(c).Operation())); },
              [](TComponent& c, const TPropValue& v) { Of(c).SetOperation(TTransitionOperation(v.AsInt())); },
              Int(0)},
            P{"Reverse", TPropKind::pkBoolean, {}, [](const TComponent& c) { return TPropValue::Bool(Of(c).Reverse()); },
              [](TComponent& c, const TPropValue& v) { Of(c).SetReverse(v.AsBool()); }, TPropValue::Bool(false)},
            P{"UseThread", TPropKind::pkBoolean, {},
              [](const TComponent& c) { return TPropValue::Bool(Of(c).UseThread()); },
              [](TComponent& c, const TPropValue& v) { Of(c).SetUseThread(v.AsBool()); }, TPropValue::Bool(false)},
            P{"Steps", TPropKind::pkInteger, {}, [](const TComponent& c) { return TPropValue::Int(Of(c).Steps()); },
              [](TComponent& c, const TPropValue& v) { Of(c).SetSteps(TPositiveInteger(v.AsInt())); }, Int(1)},
        }};
}

}  // namespace

const Toolkit::TClassInfo& LumawipeClassInfo() {
    static const Toolkit::TClassInfo info = MakeClassInfo();
    return info;
}

void SaveLumawipe(std::ostream& out, const TLumawipe& component) {
    Toolkit::WriteComponent(out, component, LumawipeClassInfo());
}

void LoadLumawipe(std::istream& in, TLumawipe& component) { Toolkit::ReadComponent(in, component, LumawipeClassInfo()); }

}  // namespace Wipekit
