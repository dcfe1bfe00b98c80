// The update server's answers from anywhere: the version file and the message file.
#include "FuzzReplay.h"

#include "net/UpdateCheck.h"

QList<QByteArray> fuzzSeeds()
{
    return {"333", "  +340\r\n", "-1", "99999999999999999999", "abc", "",
            "A new version is out.\nGet it now.", QByteArray("short\0hidden", 12),
            QByteArray(3000, 'x'), "\xF0\x9F\x8E\xAC\xC3\x28\xE2\x82"};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The check never keeps more than it reads.
    const QByteArray text = QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)).left(UpdateCheck::ReadLimit);
    int version = 12345;
    if (!UpdateCheck::versionOf(text, &version))
        FUZZ_CHECK(version == 12345);
    const QString message = UpdateCheck::messageOf(text);
    FUZZ_CHECK(message.size() <= UpdateCheck::MessageLimit);
    FUZZ_CHECK(!message.contains(QChar(0)));
    return 0;
}
