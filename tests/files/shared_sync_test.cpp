#include "files/shared_sync.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>

#include "files/descriptor.hpp"
#include "support/temp_folder.hpp"

namespace quill::files {
namespace {

Descriptor opened(const std::string& path, int flags) {
    return Descriptor(::open(path.c_str(), flags | O_CLOEXEC));
}

// Files and their folder are synced together; among descriptors of several
// file systems the first one that cannot be synced (a pipe) is named, with
// its error, and nothing after it counts as synced.
TEST(SyncTogether, NamesTheFirstDescriptorThatCannotBeSynced) {
    const test::TempFolder folder;
    const Descriptor a = opened(folder.write("a.html", "eins"), O_RDWR);
    const Descriptor b = opened(folder.write("b.html", "zwei"), O_RDWR);
    const Descriptor place = opened(folder.path(), O_RDONLY | O_DIRECTORY);
    ASSERT_TRUE(a.valid() && b.valid() && place.valid());
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const Descriptor in(ends[0]);
    const Descriptor out(ends[1]);

    int error = 0;
    EXPECT_EQ(syncTogether({}, error), 0u);
    EXPECT_EQ(syncTogether({a.get(), place.get(), b.get()}, error), 3u);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(syncTogether({a.get(), out.get(), b.get(), in.get()}, error), 1u);
    EXPECT_EQ(error, EINVAL);
    error = 0;
    EXPECT_EQ(syncTogether({a.get(), b.get(), in.get()}, error), 2u);
    EXPECT_EQ(error, EINVAL);
}

}  // namespace
}  // namespace quill::files
