#pragma once
// A byte stream that is loaded block by block and handed to its consumer in pieces of any size.
// Derived classes decide where the blocks come from (OpenSource, Refill, CloseSource); the
// consumer only calls Start, Read and Stop.

#include <cstdint>
#include <mutex>

namespace qivo {

class CDataFeeder {
public:
    CDataFeeder() = default;
    CDataFeeder(const CDataFeeder&) = delete;
    CDataFeeder& operator=(const CDataFeeder&) = delete;
    virtual ~CDataFeeder();

    // Non-zero on success. A stopped feeder may be started again and begins its stream anew.
    virtual int Start();
    // Afterwards no block is left.
    virtual int Stop();
    // Copies up to size bytes to destination (or skips them when destination is null).
    // Non-zero when data was available as the call began; delivered (optional) gets the count.
    virtual int Read(void* destination, std::uint32_t size, std::uint32_t* delivered);

    virtual void ClearName() {}
    virtual int OpenSource() { return 0; }
    // Loads the next block; a block of length 0 marks the end of the stream.
    virtual int Refill() { return 0; }
    virtual int CloseSource() { return 0; }

protected:
    // Publishing goes through the lock so that a block may be produced on another thread than
    // the one that reads.
    void PublishBlock(const std::uint8_t* block, std::uint32_t length);
    void ClearBlock() { PublishBlock(nullptr, 0); }
    // For a derived class that must change the bytes behind the block in the same step:
    // the caller holds Lock().
    void PublishBlockLocked(const std::uint8_t* block, std::uint32_t length);
    std::mutex& Lock() { return lock_; }

private:
    std::mutex lock_;
    const std::uint8_t* block_ = nullptr;
    std::uint32_t blockLength_ = 0;
    std::uint32_t readPosition_ = 0;
};

}  // namespace qivo
