#include "activex/WipeaxStream.h"

#include <climits>
#include <memory>

namespace Wipeax {

using Toolkit::TComponent;
using Toolkit::TPropKind;
using Toolkit::TPropValue;

namespace {

// The pictures are stored as picture data (never as handle values, which mean nothing in
// another process), before Color: a picture sets Color from its corner pixel when it
// arrives, and the stored colour must win. Enumerations are stored as their byte values,
// since a container may have written any byte.

TPropValue PictureOf(const TBitmap& bitmap) {
    return TPropValue::Picture(std::shared_ptr<TBitmap>(std::shared_ptr<TBitmap>(), const_cast<TBitmap*>(&bitmap)));
}

std::uint8_t StoredByte(const TPropValue& v, const char* name) {
    if (v.AsInt() < 0 || v.AsInt() > 255) throw Toolkit::EReadError(std::string(name) + " holds an unknown value.");
    return std::uint8_t(v.AsInt());
}

std::int32_t StoredPositive(const TPropValue& v, const char* name) {
    if (v.AsInt() < 1 || v.AsInt() > INT32_MAX) throw Toolkit::EReadError(std::string(name) + " must be 1 or more.");
    return std::int32_t(v.AsInt());
}

}  // namespace

Toolkit::TClassInfo StoredProperties(std::string className, TEngineOf engineOf) {
    using P = Toolkit::TPropertyInfo;
    // Reads go through the same lookup; the component is not changed by it.
    const auto of = [engineOf](const TComponent& c) -> TLumawipe& { return engineOf(const_cast<TComponent&>(c)); };
    return Toolkit::TClassInfo{
        std::move(className),
        {
            P{"FromBitmap", TPropKind::pkPicture, {}, [of](const TComponent& c) { return PictureOf(of(c).FromBitmap()); },
              [of](TComponent& c, const TPropValue& v) { of(c).FromBitmap().Assign(v.AsPicture()); }, std::nullopt},
            P{"ToBitmap", TPropKind::pkPicture, {}, [of](const TComponent& c) { return PictureOf(of(c).ToBitmap()); },
              [of](TComponent& c, const TPropValue& v) { of(c).ToBitmap().Assign(v.AsPicture()); }, std::nullopt},
            P{"Color", TPropKind::pkColor, {}, [of](const TComponent& c) { return TPropValue::Int(of(c).Color()); },
              [of](TComponent& c, const TPropValue& v) { of(c).SetColor(TColor(v.AsInt())); }, std::nullopt},
            P{"Delta", TPropKind::pkInteger, {}, [of](const TComponent& c) { return TPropValue::Int(of(c).Delta()); },
              [of](TComponent& c, const TPropValue& v) { of(c).SetDelta(StoredPositive(v, "Delta")); }, TPropValue::Int(10)},
            P{"Interval", TPropKind::pkCardinal, {}, [of](const TComponent& c) { return TPropValue::Int(of(c).Interval()); },
              [of](TComponent& c, const TPropValue& v) { of(c).SetInterval(std::uint32_t(v.AsInt())); }, TPropValue::Int(100)},
            P{"RGBOrder", TPropKind::pkInteger, {}, [of](const TComponent& c) { return TPropValue::Int(int(of(c).RGBOrder())); },
              [of](TComponent& c, const TPropValue& v) { of(c).SetRGBOrder(TRGBOrder(StoredByte(v, "RGBOrder"))); },
              TPropValue::Int(0)},
            P{"Modifier", TPropKind::pkInteger, {}, [of](const TComponent& c) { return TPropValue::Int(int(of(c).Modifier())); },
              [of](TComponent& c, const TPropValue& v) {
                  of(c).SetModifier(TTransitionModifier(StoredByte(v, "Modifier")));
              },
              TPropValue::Int(0)},
            P{"Operation", TPropKind::pkInteger, {}, [of](const TComponent& c) { return TPropValue::Int(int(of(c).Operation())); },
              [of](TComponent& c, const TPropValue& v) {
                  of(c).SetOperation(TTransitionOperation(StoredByte(v, "Operation")));
              },
              TPropValue::Int(0)},
            P{"Reverse", TPropKind::pkBoolean, {}, [of](const TComponent& c) { return TPropValue::Bool(of(c).Reverse()); },
              [of](TComponent& c, const TPropValue& v) { of(c).SetReverse(v.AsBool()); }, TPropValue::Bool(false)},
            P{"UseThread", TPropKind::pkBoolean, {},
              [of](const TComponent& c) { return TPropValue::Bool(of(c).UseThread()); },
              [of](TComponent& c, const TPropValue& v) { of(c).SetUseThread(v.AsBool()); }, TPropValue::Bool(false)},
            P{"Steps", TPropKind::pkInteger, {}, [of](const TComponent& c) { return TPropValue::Int(of(c).Steps()); },
              [of](TComponent& c, const TPropValue& v) { of(c).SetSteps(StoredPositive(v, "Steps")); }, TPropValue::Int(1)},
        }};
}

}  // namespace Wipeax
