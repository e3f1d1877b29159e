#include "core/publish/upload_test_file.h"

#include "core/publish/local_path.h"
#include "core/publish/site_store.h"

namespace zepa2 {

net::Outcome UploadTestFile(const net::SiteLogin& login, const std::string& uploadFile,
                            const std::string& localFile, const PauseFunction& pause, const StopToken* stop) {
  return StoreOnSite(login, LocalPath(localFile), uploadFile, pause, stop);
}

}  // namespace zepa2
