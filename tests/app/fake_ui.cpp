#include "app/fake_ui.h"

namespace pelorix::test {

app::MessageAnswer FakeUi::showMessage(const QString& text, app::MessageButtons buttons) {
    messages.push_back({text, buttons});
    if (!answers.empty()) {
        const app::MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return buttons == app::MessageButtons::YesNo ? app::MessageAnswer::Yes : app::MessageAnswer::Ok;
}

void FakeUi::processEvents() {
    ++eventPasses;
    if (onProcessEvents) {
        onProcessEvents();
    }
}

}  // namespace pelorix::test
