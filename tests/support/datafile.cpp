#include "datafile.h"

namespace testsupport {

TLoadedDataFile::TLoadedDataFile() : FModule(koyomi::LoadLibraryA(MIRVO_KOSMERA_PATH))
{
    FLoaded = FModule != nullptr && koyomi::InitKoyomiLib(FModule, false);
}

TLoadedDataFile::~TLoadedDataFile()
{
    koyomi::DataModule = nullptr;
    koyomi::FreeLibrary(FModule);
}

} // namespace testsupport
