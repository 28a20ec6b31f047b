// The image-file mode's target: the image is written under a temporary name beside the target
// and renamed over it only when it is whole, so a failed image never replaces a good one.
#pragma once

#include <string>

#include "burn/portable/cd_burner.h"
#include "forms/gdi_handle.h"

namespace burn {

class ImageFileWriter final : public ImageSink {
public:
    explicit ImageFileWriter(std::u16string target) : target_(std::move(target)) {}
    ~ImageFileWriter() override;

    bool Create() override;
    bool Write(const std::uint8_t* data, std::size_t count) override;
    bool Commit() override;
    void Discard() override;

private:
    std::u16string target_;
    std::u16string temporary_;
    forms::UniqueKernelHandle file_;
};

}  // namespace burn
