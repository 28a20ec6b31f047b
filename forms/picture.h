// A picture holder: one graphic of any kind, loaded by the file's extension.
#pragma once
#include <memory>
#include <string>

#include "forms/graphics.h"

namespace forms {

class TBitmap;

class TPicture : public TObject {
public:
    TPicture();
    ~TPicture() override;
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    // nullptr while the picture holds nothing.
    TGraphic* Graphic() const { return graphic_.get(); }
    // Keeps a copy of graphic (a bitmap or a JPEG image); nullptr empties the picture.
    void SetGraphic(const TGraphic* graphic);
    // Takes the graphic itself.
    void SetGraphic(std::unique_ptr<TGraphic> graphic);
    // The graphic as a bitmap; a picture holding anything else is first emptied and given
    // a new empty bitmap.
    TBitmap* Bitmap();

    int Width() const;
    int Height() const;
    bool Empty() const;

    // ".bmp" makes a TBitmap, ".jpg" and ".jpeg" a TJPEGImage (any letter case); any other
    // extension raises EInvalidGraphic "Unknown picture file extension (.xyz)". A load that
    // fails leaves the picture as it was.
    void LoadFromFile(const std::string& fileName);
    // Raises EInvalidGraphic when the picture is empty.
    void SaveToFile(const std::string& fileName) const;
    void Assign(const TPicture& source) { SetGraphic(source.Graphic()); }

    // After every change of the graphic or inside it.
    TNotifyEvent OnChange;

private:
    void Changed();

    std::unique_ptr<TGraphic> graphic_;
};

}  // namespace forms
