#include "common/interruption.h"

namespace prismet {

void watch_for_interruptions() {}

TemporaryName::TemporaryName(std::string path) : path_(std::move(path)) {}
TemporaryName::~TemporaryName() = default;
void TemporaryName::release() { registered_ = false; }

UninterruptedSection::UninterruptedSection() = default;
UninterruptedSection::~UninterruptedSection() = default;

void end_if_reader_gone(int) {}

}  // namespace prismet
