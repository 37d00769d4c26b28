#pragma once
// Feeds a file, or a named pipe as a client, in blocks of a fixed size.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "input/CDataFeeder.h"
#include "platform/FileHandle.h"

namespace qivo {

class CFileFeeder : public CDataFeeder {
public:
    // The smallest block a file feeder loads, whatever block size it was asked for.
    static constexpr std::uint32_t kMinimumBlockSize = 4096;

    CFileFeeder() = default;
    ~CFileFeeder() override;

    void ClearName() override;
    int OpenSource() override;
    int Refill() override;
    int CloseSource() override;
    // Replaces the stored name by a copy; null only releases the old one.
    virtual void SetFileName(const char* name);
    void SetFileName(const std::string& name) { SetFileName(name.c_str()); }

    void SetBlockSize(std::int32_t bytes) { blockSize_ = bytes; }

protected:
    const std::optional<std::string>& FileName() const { return fileName_; }
    std::int32_t BlockSize() const { return blockSize_; }
    // The block size as the feeders use it: compared as unsigned, and never below the minimum.
    std::uint32_t EffectiveBlockSize() const;

private:
    std::optional<std::string> fileName_;
    std::int32_t blockSize_ = 0;
    platform::FileHandle file_;
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::uint32_t bufferSize_ = 0;
};

}  // namespace qivo
