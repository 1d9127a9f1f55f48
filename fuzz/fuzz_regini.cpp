// The Reg.ini loader: any bytes load without a fault, no key goes deeper than the registry allows,
// the loaded tree writes again, and loading the same file a second time adds nothing.
#include "ProfileFile.h"
#include "RegIni.h"
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const ProfileFile profile = ProfileFile::Parse(bytes);
    RegistryTree tree;
    LoadRegIni(bytes, tree);
    tree.Walk([](RegKey* key) {
        if (key->Depth() > MaxRegIniDepth || key->Values.Entries.size() != key->Values.TypeCodes.size())
            std::abort();
    });
    const RegistryTree first = tree;
    LoadRegIni(bytes, tree);
    if (!(tree == first))
        std::abort();
    (void)BuildRegIniStream(tree);  // a loaded tree holds no line breaks: this must not throw
    ProfileFile again = profile;
    WriteRegIni(again, tree);
    (void)again.Render();
    return 0;
}
