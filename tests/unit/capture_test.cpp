#include "shell/appstate.h"
#include "tests/support/registry_sandbox.h"

class Capture : public AppTest {};

TEST_F(Capture, TypicalValuesAreAllManaged)
{
    SeedTypicalIe();
    app.searchAssistantMode = 1;
    EXPECT_EQ(NULL, CaptureAutoCompleteValues());
    EXPECT_EQ(6, app.presentCount);
}
