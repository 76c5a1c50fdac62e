// Settings that hold for the whole run of the GUI tests.
#include <gtest/gtest.h>

#include <memory>

#include "wine_settings.h"

namespace quillo::gui {
namespace {

class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override { windows_ = std::make_unique<SelfManagedQuilloWindows>(); }
    void TearDown() override { windows_.reset(); }

private:
    std::unique_ptr<SelfManagedQuilloWindows> windows_;
};

const auto* const kRegistered = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

}  // namespace
}  // namespace quillo::gui
