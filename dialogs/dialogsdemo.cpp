// Shows one of the dialogs as the editor does, for a look at it:
//   dialogsdemo question   the closing question
//   dialogsdemo annuler    the same question with a cancel button
//   dialogsdemo ouvrir     the open dialog of the editor's open command
#include <windows.h>

#include <cstring>

#include "controls/application.h"
#include "dialogs/dialogs.h"
#include "dialogs/msgdlg.h"

int main(int argc, char** argv) {
  using namespace tavelo;
  TControlsSession session;
  Application()->SetTitle("Tavelo");
  if (argc > 1 && std::strcmp(argv[1], "ouvrir") == 0) {
    TOpenDialog dialog(nullptr);
    dialog.SetDefaultExt("js");
    dialog.SetFilter("Fichier Javascript (*.js*)|*.js|Tous les fichiers (*.*)|*.*");
    dialog.SetTitle("Ouverture de fichier");
    return dialog.Execute() ? 0 : 1;
  }
  TDialogButtons buttons{ButtonYes, ButtonNo};
  if (argc > 1 && std::strcmp(argv[1], "annuler") == 0) buttons.Include(ButtonCancel);
  return ShowMessageDialog("le texte a ete modifié\rsauver les changements?", DialogWarning, buttons, 0);
}
