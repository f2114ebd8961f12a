// Reading bytes that are already in memory as a std::istream, without copying them (an
// istringstream would hold a second copy of the whole buffer).
#pragma once

#include <cstddef>
#include <istream>
#include <streambuf>

namespace Toolkit {

// A read-only, seekable stream buffer over bytes the caller keeps alive.
class TMemoryStreamBuf : public std::streambuf {
public:
    TMemoryStreamBuf(const void* data, std::size_t size) {
        char* begin = const_cast<char*>(static_cast<const char*>(data));
        setg(begin, begin, begin + size);
    }

    // The unread bytes: readers of a length-prefixed block take them where they lie.
    const char* Next() const { return gptr(); }
    std::size_t Left() const { return std::size_t(egptr() - gptr()); }
    void Skip(std::size_t n) { setg(eback(), gptr() + n, egptr()); }  // n <= Left()

protected:
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override {
        if (!(which & std::ios_base::in)) return pos_type(off_type(-1));
        const off_type base = dir == std::ios_base::beg ? 0 : dir == std::ios_base::cur ? gptr() - eback() : egptr() - eback();
        const off_type to = base + off;
        if (to < 0 || to > egptr() - eback()) return pos_type(off_type(-1));
        setg(eback(), eback() + to, egptr());
        return pos_type(to);
    }
    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override {
        return seekoff(off_type(pos), std::ios_base::beg, which);
    }
    std::streamsize showmanyc() override { return egptr() - gptr(); }
};

// An istream over memory the caller keeps alive.
class TMemoryStream : private TMemoryStreamBuf, public std::istream {
public:
    TMemoryStream(const void* data, std::size_t size)
        : TMemoryStreamBuf(data, size), std::istream(static_cast<TMemoryStreamBuf*>(this)) {}
};

}  // namespace Toolkit
