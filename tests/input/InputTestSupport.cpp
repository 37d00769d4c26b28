#include "InputTestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

namespace qivo::test {

const std::string& MediaDir() {
    static const std::string dir = [] {
        std::string d = QIVO_INPUT_MEDIA_DIR;
        std::string cmd = std::string("bash '") + QIVO_INPUT_FIXTURE_SCRIPT + "' '" + d + "'";
        if (std::system(cmd.c_str()) != 0) throw std::runtime_error("cannot make the input media: " + cmd);
        return d;
    }();
    return dir;
}

std::string MediaPath(const std::string& name) { return MediaDir() + "/" + name; }

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string TempPath(const std::string& name) {
    static const std::string dir = [] {
        auto d = std::filesystem::temp_directory_path() / ("qivo-input-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(std::filesystem::temp_directory_path() /
                                            ("qivo-input-" + std::to_string(::getpid())),
                                        ec);
        });
        return d.string();
    }();
    return dir + "/" + name;
}

namespace {
void AppendCrcPlaceholder(Bytes& section) {
    // The demultiplexer does not verify the CRC; a fixed value keeps the sections readable.
    section.insert(section.end(), {0xDE, 0xAD, 0xBE, 0xEF});
}
void SetLength(Bytes& section) {
    std::size_t length = section.size() - 3;
    section[1] = static_cast<std::uint8_t>(0xB0 | ((length >> 8) & 0x0F));
    section[2] = static_cast<std::uint8_t>(length & 0xFF);
}
}  // namespace

Bytes TsPacketBuilder::PatSection(const std::vector<std::pair<std::uint16_t, std::uint16_t>>& programs) {
    Bytes s = {0x00, 0, 0, 0x00, 0x01, 0xC1, 0x00, 0x00};
    for (auto [program, pid] : programs) {
        s.push_back(static_cast<std::uint8_t>(program >> 8));
        s.push_back(static_cast<std::uint8_t>(program));
        s.push_back(static_cast<std::uint8_t>(0xE0 | (pid >> 8)));
        s.push_back(static_cast<std::uint8_t>(pid));
    }
    AppendCrcPlaceholder(s);
    SetLength(s);
    return s;
}

Bytes TsPacketBuilder::PmtSection(std::uint16_t program,
                                  const std::vector<std::pair<std::uint8_t, std::uint16_t>>& streams,
                                  std::size_t programInfo) {
    Bytes s = {0x02, 0, 0, static_cast<std::uint8_t>(program >> 8), static_cast<std::uint8_t>(program), 0xC1, 0x00, 0x00,
               0xE1, 0x00,  // PCR PID 0x100
               static_cast<std::uint8_t>(0xF0 | (programInfo >> 8)), static_cast<std::uint8_t>(programInfo)};
    s.insert(s.end(), programInfo, 0x00);
    for (auto [type, pid] : streams) {
        s.push_back(type);
        s.push_back(static_cast<std::uint8_t>(0xE0 | (pid >> 8)));
        s.push_back(static_cast<std::uint8_t>(pid));
        s.push_back(0xF0);
        s.push_back(0x00);
    }
    AppendCrcPlaceholder(s);
    SetLength(s);
    return s;
}

Bytes TsPacketBuilder::PesHeader(std::size_t extraHeader) {
    Bytes h = {0x00, 0x00, 0x01, 0xE0, 0x00, 0x00, 0x80, 0x80, static_cast<std::uint8_t>(5 + extraHeader),
               0x21, 0x00, 0x01, 0x00, 0x01};
    h.insert(h.end(), extraHeader, 0xFF);
    return h;
}

std::uint8_t TsPacketBuilder::NextCounter(std::uint16_t pid) {
    for (auto& [p, c] : counters_)
        if (p == pid) return c = static_cast<std::uint8_t>((c + 1) & 0x0F);
    counters_.emplace_back(pid, 0);
    return 0;
}

void TsPacketBuilder::Packet(std::uint16_t pid, bool unitStart, const Bytes& data, int adaptation) {
    Bytes p(kPacket, 0xFF);
    p[0] = 0x47;
    p[1] = static_cast<std::uint8_t>((unitStart ? 0x40 : 0x00) | (pid >> 8));
    p[2] = static_cast<std::uint8_t>(pid);
    p[3] = static_cast<std::uint8_t>((adaptation >= 0 ? 0x30 : 0x10) | NextCounter(pid));
    std::size_t at = 4;
    if (adaptation >= 0) {
        p[4] = static_cast<std::uint8_t>(adaptation);
        if (adaptation > 0) p[5] = 0x00;  // no flags; the rest is stuffing
        at = 5 + static_cast<std::size_t>(adaptation);
    }
    if (at + data.size() > kPacket) throw std::logic_error("packet data too long");
    std::copy(data.begin(), data.end(), p.begin() + static_cast<std::ptrdiff_t>(at));
    bytes.insert(bytes.end(), p.begin(), p.end());
}

void TsPacketBuilder::Table(std::uint16_t pid, const Bytes& section) {
    Bytes first = {0x00};  // pointer field
    std::size_t take = std::min(section.size(), kPacket - 5);
    first.insert(first.end(), section.begin(), section.begin() + static_cast<std::ptrdiff_t>(take));
    Packet(pid, true, first);
    for (std::size_t at = take; at < section.size(); at += kPacket - 4) {
        std::size_t n = std::min(section.size() - at, kPacket - 4);
        Packet(pid, false, Bytes(section.begin() + static_cast<std::ptrdiff_t>(at),
                                 section.begin() + static_cast<std::ptrdiff_t>(at + n)));
    }
}

void TsPacketBuilder::Pes(std::uint16_t pid, const Bytes& payload, std::size_t firstAdaptation,
                          std::size_t extraHeader) {
    Bytes all = PesHeader(extraHeader);
    all.insert(all.end(), payload.begin(), payload.end());
    std::size_t at = 0;
    bool first = true;
    while (at < all.size()) {
        std::size_t room = kPacket - 4;
        int adaptation = -1;
        if (first && firstAdaptation > 0) {
            adaptation = static_cast<int>(firstAdaptation);
            room -= 1 + firstAdaptation;
        }
        std::size_t n = std::min(all.size() - at, room);
        if (n < room) {  // stuff the last packet through its adaptation field
            std::size_t stuffing = room - n;
            adaptation = adaptation >= 0 ? adaptation + static_cast<int>(stuffing) : static_cast<int>(stuffing) - 1;
        }
        Packet(pid, first, Bytes(all.begin() + static_cast<std::ptrdiff_t>(at), all.begin() + static_cast<std::ptrdiff_t>(at + n)),
               adaptation);
        at += n;
        first = false;
    }
}

Bytes ToM2ts(const Bytes& ts) {
    Bytes out;
    for (std::size_t at = 0; at + TsPacketBuilder::kPacket <= ts.size(); at += TsPacketBuilder::kPacket) {
        out.insert(out.end(), {0x12, 0x34, 0x56, static_cast<std::uint8_t>(at / TsPacketBuilder::kPacket)});
        out.insert(out.end(), ts.begin() + static_cast<std::ptrdiff_t>(at),
                   ts.begin() + static_cast<std::ptrdiff_t>(at + TsPacketBuilder::kPacket));
    }
    return out;
}

}  // namespace qivo::test
