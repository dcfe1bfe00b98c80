#include "BmpFuzzTarget.h"

#include "skin/BmpFile.h"
#include "skin/SkinButton.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

int fuzzSkinImage(const uint8_t *data, size_t size)
{
    const QImage image = BmpFile::fromData(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    SkinButton button;
    button.resize(40, 30);
    button.setImages(image, image.mirrored());
    QImage target(40, 30, QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::magenta);
    button.render(&target);
    return 0;
}

#ifdef KT_LIBFUZZER
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv); // the fuzzer's whole run is this one process
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzzSkinImage(data, size);
}
#endif
