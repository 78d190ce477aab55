#include "windows.h"

#include "books/form_addbook.h"
#include "books/form_bookbase.h"
#include "books/form_modbook.h"
#include "components/guard.h"
#include "export/form_saveexcel.h"
#include "export/form_savehtml.h"
#include "lists/form_addcate.h"
#include "lists/form_author.h"
#include "lists/form_modcate.h"
#include "lists/form_pub.h"
#include "lists/form_reader.h"
#include "main/form_main.h"
#include "security/form_passwd.h"
#include "security/form_welcome.h"
#include "stats/form_find.h"
#include "stats/form_tjie.h"
#include "stats/form_tmoney.h"
#include "stats/form_tnumber.h"

namespace windows {
namespace {

template <class Window> void create(Window *&instance)
{
    instance = new Window;
    guard::run(nullptr, [&] { instance->FormCreate(); });
}

template <class Window> void destroy(Window *&instance)
{
    delete instance;
    instance = nullptr;
}

} // namespace

void createAll()
{
    create(form_main);
    create(form_addcate);
    create(form_pub);
    create(form_author);
    create(form_reader);
    create(form_addbook);
    create(form_modbook);
    create(form_bookbase);
    create(form_modcate);
    create(form_tnumber);
    create(form_tjie);
    create(form_tmoney);
    create(form_find);
    create(form_saveexcel);
    create(form_savehtml);
    create(form_welcome);
    create(form_passwd);

    // The dialogs that read the main window's selection or change what it
    // shows are handed its view of the catalogue.
    for (FormDialog *dialog : std::initializer_list<FormDialog *>{form_addbook, form_modbook, form_bookbase,
                                                                  form_addcate, form_modcate, form_find})
        dialog->setCatalogueView(form_main);
}

void destroyAll()
{
    destroy(form_passwd);
    destroy(form_welcome);
    destroy(form_savehtml);
    destroy(form_saveexcel);
    destroy(form_find);
    destroy(form_tmoney);
    destroy(form_tjie);
    destroy(form_tnumber);
    destroy(form_modcate);
    destroy(form_bookbase);
    destroy(form_modbook);
    destroy(form_addbook);
    destroy(form_reader);
    destroy(form_author);
    destroy(form_pub);
    destroy(form_addcate);
    destroy(form_main);
}

} // namespace windows
