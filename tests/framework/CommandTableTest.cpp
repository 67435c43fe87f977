// Command tables: a row gives a command its handler and its rule together; an id a target
// already knows is refused (and listed) instead of silently replacing the first handler; no-op
// and disabled commands are declared as such, and behave as their declaration says.
#include <string>

#include "TestDocuments.h"
#include "framework/CommandRow.h"

namespace tessarel::test {
namespace {

constexpr int kFirst = 40101;
constexpr int kSecond = 40102;

class CommandTableTest : public FrameworkFixture {
protected:
    std::string log;
    bool allowed = false;
};

TEST_F(CommandTableTest, ARowGivesHandlerAndRuleTogether) {
    frame->Register(CommandTable{
        CommandRow::When(kFirst, [this] { log += "first "; }, [this] { return allowed; }),
        CommandRow::Checked(kSecond, [this] { log += "second "; }, [] { return true; }, [this] { return allowed; }),
    });
    EXPECT_FALSE(app->ExecuteCommand(kFirst)) << "the rule disables it";
    allowed = true;
    EXPECT_TRUE(app->ExecuteCommand(kFirst));
    CommandState second = app->QueryCommand(kSecond);
    EXPECT_TRUE(second.enabled);
    EXPECT_TRUE(second.checked);
    EXPECT_TRUE(app->ExecuteCommand(kSecond));
    EXPECT_EQ(log, "first second ");
    EXPECT_TRUE(frame->RefusedRegistrations().empty());
}

TEST_F(CommandTableTest, AnIdRegisteredTwiceIsRefusedAndTheFirstHandlerStays) {
    // The cases a table can get wrong: the same handler twice, the same rule twice, a handler
    // for a command declared as handled by nobody, a declaration for a handled command.
    struct Case {
        const char* name;
        CommandRow first;
        CommandRow second;
    };
    const Case cases[] = {
        {"two handlers", CommandRow::Always(kFirst, [this] { log += "first "; }), CommandRow::Always(kFirst, [this] { log += "second "; })},
        {"two rules", CommandRow::When(kFirst, [this] { log += "first "; }, [] { return true; }),
         CommandRow::EnabledWhen(kFirst, [] { return false; })},
        {"handler after disabled", CommandRow::Disabled(kFirst, "nothing handles it"), CommandRow::Always(kFirst, [this] { log += "second "; })},
        {"no-op after handler", CommandRow::Always(kFirst, [this] { log += "first "; }), CommandRow::NoOp(kFirst, "does nothing")},
        {"disabled after handler", CommandRow::Always(kFirst, [this] { log += "first "; }), CommandRow::Disabled(kFirst, "nothing")},
    };
    for (const Case& c : cases) {
        TestFrame target;
        log.clear();
        target.Register(CommandTable{c.first, c.second});
        EXPECT_EQ(target.RefusedRegistrations(), std::vector<int>{kFirst}) << c.name;
        EXPECT_FALSE(target.IsDeclaredNoOp(kFirst)) << c.name;
        CommandState state;
        state.id = kFirst;
        if (target.UpdateCommand(state)) {
            EXPECT_TRUE(state.enabled) << c.name << ": the first rule decides";
        }
        target.RunCommand(kFirst);
        EXPECT_EQ(log, c.first.kind == CommandRow::Kind::Disabled ? "" : "first ") << c.name;
    }
}

TEST_F(CommandTableTest, AHandlerAndARuleFromTwoPlacesAreOneCommand) {
    // A base class handles Save, a derived one adds when Save is enabled: two slots, no clash.
    frame->OnCommand(kFirst, [this] { log += "save "; });
    frame->OnUpdate(kFirst, [this](CommandState& state) { state.Enable(allowed); });
    EXPECT_TRUE(frame->RefusedRegistrations().empty());
    EXPECT_FALSE(app->ExecuteCommand(kFirst));
    allowed = true;
    EXPECT_TRUE(app->ExecuteCommand(kFirst));
    EXPECT_EQ(log, "save ");
}

TEST_F(CommandTableTest, DeclaredNoOpIsEnabledAndDeclaredDisabledIsNot) {
    frame->Register(CommandTable{
        CommandRow::NoOp(kFirst, "accepted, nothing to do"),
        CommandRow::Disabled(kSecond, "shown, handled by nobody"),
    });
    EXPECT_TRUE(frame->IsDeclaredNoOp(kFirst));
    EXPECT_TRUE(app->QueryCommand(kFirst).enabled);
    EXPECT_TRUE(app->ExecuteCommand(kFirst)) << "the frame takes it, so it goes no further";

    EXPECT_TRUE(frame->IsDeclaredDisabled(kSecond));
    EXPECT_FALSE(frame->HasHandler(kSecond));
    EXPECT_FALSE(app->QueryCommand(kSecond).enabled);
    EXPECT_FALSE(app->ExecuteCommand(kSecond));
}

TEST_F(CommandTableTest, ARangeGivesEachIdItsOwnHandler) {
    std::vector<int> ran;
    frame->Register(CommandRange(kFirst, kFirst + 3, [&ran](int id) { ran.push_back(id); },
                                 [](CommandState& state) { state.Enable(state.id != kFirst + 2); }));
    for (int id = kFirst; id <= kFirst + 3; ++id) app->ExecuteCommand(id);
    EXPECT_EQ(ran, (std::vector<int>{kFirst, kFirst + 1, kFirst + 3}));
}

}  // namespace
}  // namespace tessarel::test
