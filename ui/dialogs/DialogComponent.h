#pragma once

#include "ui/dialogs/DialogView.h"
#include "ui/dialogs/LabelBackGroundBox.h"

#include <functional>
#include <memory>

namespace KA
{
/** A dialog drawn inside its owner: a translucent overlay covering the owner,
    with a framed panel of at most 600 x 250 centred in it. Any of its buttons
    hides the dialog and reports the button's result id to the callback. The
    dialog stays alive, hidden, until its owner opens the next one. */
class DialogComponent : public LabelBackGroundBox,
                        public juce::Button::Listener
{
public:
    /** (user data, content, result id) */
    using ResultCallback = std::function<void (void*, void*, int)>;

    /** Panel height : width. */
    static constexpr float panelAspect = 0.41666666f;

    /** One to three buttons; any other count makes a dialog without buttons.
        button1 reports 0 alone, 1 beside others; button2 and button3 report 0
        (two buttons) or 2 and 0 (three buttons). */
    DialogComponent (std::unique_ptr<juce::Component> content,
                     const juce::String& button1, const juce::String& button2, const juce::String& button3,
                     int numButtons, void* userData, ResultCallback callback);
    ~DialogComponent() override;

    juce::Component* getContent() const noexcept { return content; }
    DialogView* getView() const noexcept { return view.get(); }

    /** True while the result callback runs. */
    bool isRunningCallback() const noexcept { return callbackDepth > 0; }

    /** For an owner that goes away while this dialog's callback runs: the owner
        gives up ownership, and the dialog deletes itself once the callback has
        returned, so the code still running in it never meets freed memory. */
    void deleteWhenCallbackReturns() noexcept { deleteAfterCallback = true; }

    /** Closes the dialog as its button with this result id would: hides it and
        reports the id to the callback. */
    void closeWithResult (int resultId);

    void resized() override;
    void buttonClicked (juce::Button*) override;

private:
    juce::Component* content = nullptr;
    void* userData = nullptr;
    std::unique_ptr<DialogView> view;
    ResultCallback resultCallback;
    int callbackDepth = 0;
    bool deleteAfterCallback = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DialogComponent)
};
} // namespace KA
