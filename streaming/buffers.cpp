// The reader's and the writer's buffers: every byte of a value passes through one of these.

#include <algorithm>
#include <cstring>

#include "core/exceptions.h"
#include "core/rtlconsts.h"
#include "streaming/reader.h"
#include "streaming/writer.h"

namespace tavelo {

// ---- The reader's buffer ----

void TReader::ReadBuffer() {
  bufEnd_ = stream_.Read(buffer_.data(), static_cast<std::int32_t>(buffer_.size()));
  bufPos_ = 0;
  if (bufEnd_ <= 0) {
    bufEnd_ = 0;
    throw EReadError(SReadError);
  }
}

void TReader::FlushBuffer() {
  if (bufPos_ < bufEnd_) stream_.Seek64(bufPos_ - bufEnd_, soCurrent);
  bufPos_ = bufEnd_ = 0;
}

std::int64_t TReader::Position() { return stream_.Position() - (bufEnd_ - bufPos_); }

std::int64_t TReader::Remaining() { return (bufEnd_ - bufPos_) + (stream_.Size() - stream_.Position()); }

void TReader::Read(void* buffer, int count) {
  char* p = static_cast<char*>(buffer);
  while (count > 0) {
    int n = bufEnd_ - bufPos_;
    if (n == 0) {
      ReadBuffer();
      n = bufEnd_;
    }
    if (n > count) n = count;
    std::memcpy(p, buffer_.data() + bufPos_, static_cast<std::size_t>(n));
    bufPos_ += n;
    p += n;
    count -= n;
  }
}

void TReader::SkipBytes(std::int64_t count) {
  if (count < 0 || count > Remaining()) throw EReadError(SReadError);
  int inBuffer = bufEnd_ - bufPos_;
  if (count <= inBuffer) {
    bufPos_ += static_cast<int>(count);
    return;
  }
  stream_.Seek64(count - inBuffer, soCurrent);
  bufPos_ = bufEnd_ = 0;
}

// ---- The writer's buffer ----

void TWriter::FlushBuffer() {
  int count = bufPos_;
  bufPos_ = 0;
  stream_.WriteBuffer(buffer_.data(), count);
}

std::int64_t TWriter::Position() { return stream_.Position() + bufPos_; }

void TWriter::SetPosition(std::int64_t value) {
  std::int64_t streamPosition = stream_.Position();
  if (value >= streamPosition && value <= streamPosition + bufPos_) {
    bufPos_ = static_cast<int>(value - streamPosition);
  } else {
    FlushBuffer();
    stream_.SetPosition(value);
  }
}

void TWriter::MakeRoom(int count) {
  if (static_cast<int>(buffer_.size()) - bufPos_ < count) FlushBuffer();
}

void TWriter::Write(const void* buffer, int count) {
  const char* p = static_cast<const char*>(buffer);
  while (count > 0) {
    if (bufPos_ == static_cast<int>(buffer_.size())) FlushBuffer();
    int n = std::min(count, static_cast<int>(buffer_.size()) - bufPos_);
    std::memcpy(buffer_.data() + bufPos_, p, static_cast<std::size_t>(n));
    bufPos_ += n;
    p += n;
    count -= n;
  }
}

}  // namespace tavelo
