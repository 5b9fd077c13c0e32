#pragma once
// Hooks the template dialogs (comment and icon, template chooser) and the
// picture editor into a designer window.
namespace designer {

class TfrDesignerForm;

// Sets the window's AskTemplateInfo, ChooseTemplate and EditPicture. The
// picture editor changes the object only on OK and only when the picture or
// its stretching changed, as one undo step.
void installTemplateDialogs(TfrDesignerForm &form);

}  // namespace designer
