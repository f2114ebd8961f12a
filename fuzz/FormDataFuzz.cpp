// The form-data reader on arbitrary bytes, with the class information of both stored
// components: the full engine's (LoadLumawipe) and the control's (its stored properties
// on its engine, as its stream, storage and property-bag persistence reads them). What a
// read applied is written back and read again to the same stream.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "activex/WipeaxStream.h"
#include "engine/LumawipeStream.h"
#include "toolkit/MemoryStream.h"

namespace {

std::string Saved(const Wipekit::TLumawipe& c) {
    std::ostringstream out;
    Wipekit::SaveLumawipe(out, c);
    return out.str();
}

std::string Saved(const Wipeax::TLumawipe& c, const Toolkit::TClassInfo& info) {
    std::ostringstream out;
    Toolkit::WriteComponent(out, c, info);
    return out.str();
}

// Loads data into a component; an accepted load must survive a save and a load unchanged.
// A refused one leaves the component as it was where the reader promises it; the control
// reads into a scratch control first, whose stored values a setter's refusal may have
// changed.
// inPlace: the data is read from memory, where pictures are decoded where they lie (as
// the control reads its stream and storage); otherwise from a stream (as files are read).
template <class Save, class Load>
void Check(const std::string& data, bool inPlace, bool unchangedWhenRefused, Save&& save, Load&& load) {
    const std::string before = save();
    std::istringstream stream(data);
    Toolkit::TMemoryStream memory(data.data(), data.size());
    std::istream& in = inPlace ? static_cast<std::istream&>(memory) : stream;
    try {
        load(in);
    } catch (const Toolkit::EReadError&) {
        if (unchangedWhenRefused && save() != before) std::abort();
        return;
    } catch (const Toolkit::Exception&) {
        return;  // a setter's refusal, raised after the remaining values were applied
    } catch (const Wipekit::ELumawipe&) {
        return;
    }
    const std::string after = save();
    std::istringstream again(after);
    try {
        load(again);
    } catch (const Wipekit::ELumawipe&) {
        // Loading into a component that already holds the loaded state renders on the way
        // (Blend of unequal pictures fails there): the reader's own refusals stay findings.
        return;
    }
    if (save() != after) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    {
        Wipekit::TLumawipe engine(nullptr);
        Check(bytes, false, true, [&] { return Saved(engine); }, [&](std::istream& in) { Wipekit::LoadLumawipe(in, engine); });
    }
    {
        static const Toolkit::TClassInfo info =
            Wipeax::StoredProperties("TTransition", [](Toolkit::TComponent& c) -> Wipeax::TLumawipe& {
                return static_cast<Wipeax::TLumawipe&>(c);
            });
        Wipeax::TLumawipe control(nullptr);
        Check(bytes, true, false, [&] { return Saved(control, info); },
              [&](std::istream& in) { Toolkit::ReadComponent(in, control, info); });
    }
    return 0;
}
