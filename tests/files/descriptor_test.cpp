#include "files/descriptor.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <vector>

namespace quill::files {
namespace {

bool isOpen(int fd) {
    return ::fcntl(fd, F_GETFD) != -1;
}

// Ownership moves with the object: the descriptor closes once, when its last
// owner ends, never when a moved-from shell does.
TEST(Descriptor, ClosesExactlyOnceWhereverItWasMoved) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const int fd = fds[0];
    ::close(fds[1]);
    {
        std::vector<Descriptor> owners;
        {
            Descriptor first(fd);
            Descriptor second(std::move(first));
            EXPECT_FALSE(first.valid());
            owners.push_back(std::move(second));
        }
        EXPECT_TRUE(isOpen(fd));
        owners.reserve(16);  // the vector moves its element
        EXPECT_TRUE(isOpen(fd));
        EXPECT_EQ(owners.front().get(), fd);

        int other[2];
        ASSERT_EQ(::pipe(other), 0);
        ::close(other[1]);
        Descriptor replaced(other[0]);
        replaced = std::move(owners.front());
        EXPECT_FALSE(isOpen(other[0]));
        EXPECT_TRUE(isOpen(fd));
    }
    EXPECT_FALSE(isOpen(fd));
}

}  // namespace
}  // namespace quill::files
