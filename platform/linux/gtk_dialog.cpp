#include "linux/gtk_dialog.h"

#include <gdk/gdkx.h>
#include <glib-unix.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "portable/dialog_session.h"
#include "linux/dialog_layout.h"

namespace vyla::linux {

namespace {

// The program reads the edit box back through a 16-byte buffer.
constexpr int kEditLimit = 15;
constexpr std::uint32_t kWsDisabled = 0x08000000;

// Windows' classic controls are compact; GTK's theme pads for touch.
// Tightened so every control fits the rectangle its template gives it.
constexpr const char* kCompactStyle = R"(
button { padding: 0 4px; min-height: 0; min-width: 0; }
entry { padding: 0 3px; min-height: 0; min-width: 0; }
radiobutton, checkbutton { padding: 0; min-height: 0; }
radiobutton radio, checkbutton check { margin: 0 4px 0 0; }
frame > border { border-radius: 0; }
)";

constexpr const char* kIdKey = "vyla-control-id";

struct Control {
    int id;
    ControlKind kind;
    GtkWidget* widget;
};

struct RadioGroup {
    std::vector<GtkWidget*> buttons;
    // Hidden member that is "checked" when the model checks none of the
    // group: a GTK radio group always has one active button.
    GtkWidget* none;
};

class GtkDialogView {
public:
    explicit GtkDialogView(portable::DialogSession& session);
    ~GtkDialogView();
    GtkDialogView(const GtkDialogView&) = delete;
    GtkDialogView& operator=(const GtkDialogView&) = delete;

    void Run(int cancelFd, const std::function<bool()>& cancelRequested);

private:
    DialogBaseUnits MeasureFont() const;
    void Build();
    GtkWidget* MakeWidget(const DialogControl& control, const std::vector<std::vector<int>>& groups);
    // Shows the session's state; user-action handlers are off meanwhile.
    void Refresh();

    static void OnClicked(GtkButton* button, gpointer self);
    static void OnEditChanged(GtkEditable* editable, gpointer self);
    static gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer self);
    static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer self);
    static void OnDestroy(GtkWidget*, gpointer self);
    static gboolean OnCancelFd(gint, GIOCondition, gpointer self);

    portable::DialogSession& session_;
    GtkWidget* window_ = nullptr;
    std::vector<Control> controls_;
    std::vector<RadioGroup> radioGroups_;
    GtkWidget* focusFirst_ = nullptr;
    bool refreshing_ = false;
    const std::function<bool()>* cancelRequested_ = nullptr;
};

void SetJapanese(GtkWidget* widget)
{
    // Han characters come from the Japanese face, not a Chinese one.
    if (!GTK_IS_LABEL(widget))
        return;
    PangoAttrList* attributes = pango_attr_list_new();
    pango_attr_list_insert(attributes, pango_attr_language_new(pango_language_from_string("ja")));
    gtk_label_set_attributes(GTK_LABEL(widget), attributes);
    pango_attr_list_unref(attributes);
}

void ApplyCompactStyle()
{
    GtkCssProvider* css = gtk_css_provider_new();
    gtk_css_provider_load_from_data(css, kCompactStyle, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(css),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(css);
}

int ControlId(GtkWidget* widget)
{
    return GPOINTER_TO_INT(g_object_get_data(G_OBJECT(widget), kIdKey));
}

GtkDialogView::GtkDialogView(portable::DialogSession& session) : session_(session)
{
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    Build();
}

GtkDialogView::~GtkDialogView()
{
    if (window_) {
        g_signal_handlers_disconnect_by_data(window_, this);
        gtk_widget_destroy(window_);
    }
    for (RadioGroup& group : radioGroups_)
        g_object_unref(group.none);
    // Let the server see the window go before the program moves on.
    while (gtk_events_pending())
        gtk_main_iteration_do(FALSE);
    gdk_display_sync(gdk_display_get_default());
}

DialogBaseUnits GtkDialogView::MeasureFont() const
{
    PangoContext* context = gtk_widget_get_pango_context(window_);
    PangoLayout* layout = pango_layout_new(context);
    pango_layout_set_text(layout, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", -1);
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    g_object_unref(layout);
    PangoFontMetrics* metrics = pango_context_get_metrics(context, pango_context_get_font_description(context), nullptr);
    if (metrics) {
        height = PANGO_PIXELS(pango_font_metrics_get_ascent(metrics) + pango_font_metrics_get_descent(metrics));
        pango_font_metrics_unref(metrics);
    }
    return BaseUnitsFromFont(width, height);
}

void GtkDialogView::Build()
{
    const DialogTemplate& dialog = session_.Template();
    gtk_window_set_title(GTK_WINDOW(window_), dialog.caption ? dialog.caption : "");
    gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
    gtk_window_set_type_hint(GTK_WINDOW(window_), GDK_WINDOW_TYPE_HINT_DIALOG);

    DialogBaseUnits units = MeasureFont();
    Rect frame = DialogUnitsToPixels(units, dialog.x, dialog.y, dialog.cx, dialog.cy);
    gtk_window_move(GTK_WINDOW(window_), frame.left, frame.top);

    GtkWidget* fixed = gtk_fixed_new();
    gtk_widget_set_size_request(fixed, frame.Width(), frame.Height());
    gtk_container_add(GTK_CONTAINER(window_), fixed);

    auto groups = RadioGroups(dialog);
    for (std::size_t g = 0; g < groups.size(); ++g) {
        GtkWidget* none = gtk_radio_button_new(nullptr);
        g_object_ref_sink(none);
        radioGroups_.push_back(RadioGroup{{}, none});
    }

    // Group boxes first, so they lie under the controls they surround.
    for (bool boxes : {true, false}) {
        for (const DialogControl& control : dialog.controls) {
            ControlKind kind = KindOf(control);
            if ((kind == ControlKind::GroupBox) != boxes)
                continue;
            GtkWidget* widget = MakeWidget(control, groups);
            if (!widget)
                continue;
            Rect r = DialogUnitsToPixels(units, control.x, control.y, control.cx, control.cy);
            gtk_widget_set_size_request(widget, r.Width(), r.Height());
            gtk_fixed_put(GTK_FIXED(fixed), widget, r.left, r.top);
            if (!(control.style & WS_VISIBLE))
                gtk_widget_set_no_show_all(widget, TRUE);
            if (control.style & kWsDisabled)
                gtk_widget_set_sensitive(widget, FALSE);
            if (!focusFirst_ && (control.style & WS_TABSTOP))
                focusFirst_ = widget;
            controls_.push_back(Control{control.id, kind, widget});
        }
    }

    g_signal_connect(window_, "key-press-event", G_CALLBACK(OnKeyPress), this);
    g_signal_connect(window_, "delete-event", G_CALLBACK(OnDelete), this);
    g_signal_connect(window_, "destroy", G_CALLBACK(OnDestroy), this);
    Refresh();
}

GtkWidget* GtkDialogView::MakeWidget(const DialogControl& control, const std::vector<std::vector<int>>& groups)
{
    const char* text = control.text ? control.text : "";
    GtkWidget* widget = nullptr;
    switch (KindOf(control)) {
    case ControlKind::RadioButton: {
        std::size_t g = 0;
        while (g < groups.size() && std::find(groups[g].begin(), groups[g].end(), control.id) == groups[g].end())
            ++g;
        if (g == groups.size())
            return nullptr;
        widget = gtk_radio_button_new_with_label_from_widget(GTK_RADIO_BUTTON(radioGroups_[g].none), text);
        radioGroups_[g].buttons.push_back(widget);
        g_signal_connect(widget, "clicked", G_CALLBACK(OnClicked), this);
        break;
    }
    case ControlKind::CheckBox:
        widget = gtk_check_button_new_with_label(text);
        g_signal_connect(widget, "clicked", G_CALLBACK(OnClicked), this);
        break;
    case ControlKind::PushButton:
    case ControlKind::DefaultPushButton:
        widget = gtk_button_new_with_label(text);
        g_signal_connect(widget, "clicked", G_CALLBACK(OnClicked), this);
        if (KindOf(control) == ControlKind::DefaultPushButton) {
            gtk_widget_set_can_default(widget, TRUE);
            gtk_window_set_default(GTK_WINDOW(window_), widget);
        }
        break;
    case ControlKind::GroupBox:
        widget = gtk_frame_new(text);
        gtk_frame_set_label_align(GTK_FRAME(widget), 0.08f, 0.5f);
        SetJapanese(gtk_frame_get_label_widget(GTK_FRAME(widget)));
        break;
    case ControlKind::Text:
        widget = gtk_label_new(text);
        gtk_label_set_xalign(GTK_LABEL(widget), 0.0f);
        gtk_label_set_yalign(GTK_LABEL(widget), 0.0f);
        SetJapanese(widget);
        break;
    case ControlKind::Edit:
        widget = gtk_entry_new();
        gtk_entry_set_max_length(GTK_ENTRY(widget), kEditLimit);
        gtk_entry_set_width_chars(GTK_ENTRY(widget), 1);
        gtk_entry_set_has_frame(GTK_ENTRY(widget), (control.style & WS_BORDER) != 0);
        g_signal_connect(widget, "changed", G_CALLBACK(OnEditChanged), this);
        break;
    case ControlKind::Other:
        return nullptr;
    }
    if (GTK_IS_BUTTON(widget))
        SetJapanese(gtk_bin_get_child(GTK_BIN(widget)));
    g_object_set_data(G_OBJECT(widget), kIdKey, GINT_TO_POINTER(control.id));
    return widget;
}

void GtkDialogView::Refresh()
{
    if (session_.Ended())
        return;
    refreshing_ = true;
    for (std::size_t g = 0; g < radioGroups_.size(); ++g) {
        GtkWidget* active = radioGroups_[g].none;
        for (GtkWidget* button : radioGroups_[g].buttons)
            if (session_.IsChecked(ControlId(button)))
                active = button;
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(active), TRUE);
    }
    for (const Control& c : controls_) {
        if (c.kind == ControlKind::CheckBox) {
            gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(c.widget), session_.IsChecked(c.id));
        } else if (c.kind == ControlKind::Edit) {
            std::string text = session_.Text(c.id);
            if (text != gtk_entry_get_text(GTK_ENTRY(c.widget)))
                gtk_entry_set_text(GTK_ENTRY(c.widget), text.c_str());
        }
    }
    refreshing_ = false;
}

void GtkDialogView::OnClicked(GtkButton* button, gpointer self)
{
    auto* view = static_cast<GtkDialogView*>(self);
    if (view->refreshing_)
        return;
    // Checking a radio button makes GTK click the one it unchecks as well;
    // only the button the user checked is a user action.
    if (GTK_IS_RADIO_BUTTON(button) && !gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(button)))
        return;
    view->session_.Click(ControlId(GTK_WIDGET(button)));
    view->Refresh();
}

void GtkDialogView::OnEditChanged(GtkEditable* editable, gpointer self)
{
    auto* view = static_cast<GtkDialogView*>(self);
    if (view->refreshing_)
        return;
    view->session_.SetText(ControlId(GTK_WIDGET(editable)), gtk_entry_get_text(GTK_ENTRY(editable)));
}

gboolean GtkDialogView::OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer self)
{
    auto* view = static_cast<GtkDialogView*>(self);
    switch (event->keyval) {
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter:
        view->session_.PressReturn();
        break;
    case GDK_KEY_Escape:
        view->session_.PressEscape();
        break;
    default:
        return FALSE;  // the focused control's
    }
    view->Refresh();
    return TRUE;
}

gboolean GtkDialogView::OnDelete(GtkWidget*, GdkEvent*, gpointer self)
{
    auto* view = static_cast<GtkDialogView*>(self);
    view->session_.CloseFromTitleBar();
    view->Refresh();
    return TRUE;  // the window goes when the run ends, not before
}

void GtkDialogView::OnDestroy(GtkWidget*, gpointer self)
{
    // Destroyed from outside (another client destroyed the X window): the
    // dialog cannot go on, so it is cancelled.
    auto* view = static_cast<GtkDialogView*>(self);
    view->window_ = nullptr;
    view->controls_.clear();
    for (RadioGroup& group : view->radioGroups_)
        group.buttons.clear();
    view->session_.CloseFromTitleBar();
}

gboolean GtkDialogView::OnCancelFd(gint, GIOCondition, gpointer self)
{
    auto* view = static_cast<GtkDialogView*>(self);
    if (view->cancelRequested_ && (*view->cancelRequested_)())
        view->session_.CloseFromTitleBar();
    return G_SOURCE_CONTINUE;
}

void GtkDialogView::Run(int cancelFd, const std::function<bool()>& cancelRequested)
{
    cancelRequested_ = &cancelRequested;
    guint cancelSource = cancelFd >= 0 ? g_unix_fd_add(cancelFd, G_IO_IN, OnCancelFd, this) : 0;
    gtk_widget_show_all(window_);
    if (focusFirst_)
        gtk_widget_grab_focus(focusFirst_);
    gtk_window_present(GTK_WINDOW(window_));
    while (!session_.Ended())
        gtk_main_iteration_do(TRUE);
    if (cancelSource)
        g_source_remove(cancelSource);
    cancelRequested_ = nullptr;
}

bool InitGtk()
{
    static bool initialised = false;
    if (initialised)
        return true;
    // The program keeps the C locale: its number conversions rely on it.
    gtk_disable_setlocale();
    // Natively on Wayland where there is a compositor, else on X11.
    gdk_set_allowed_backends("wayland,x11");
    if (!gtk_init_check(nullptr, nullptr))
        return false;
    ApplyCompactStyle();
    initialised = true;
    return true;
}

}  // namespace

bool RunGtkDialog(portable::DialogSession& session, int cancelFd, const std::function<bool()>& cancelRequested)
{
    if (!InitGtk())
        return false;
    // Another client may destroy the dialog's window under it; GDK would
    // end the process on the errors that follow. The window's destruction
    // cancels the dialog instead, and the errors are of no further interest.
    GdkDisplay* display = gdk_display_get_default();
    const bool x11 = GDK_IS_X11_DISPLAY(display);
    if (x11)
        gdk_x11_display_error_trap_push(display);
    {
        GtkDialogView view(session);
        view.Run(cancelFd, cancelRequested);
    }
    if (x11)
        gdk_x11_display_error_trap_pop_ignored(display);
    return true;
}

bool ShowGtkMessage(std::string_view caption, std::string_view text)
{
    if (!InitGtk())
        return false;
    const std::string message(text);
    GtkWidget* box = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR, GTK_BUTTONS_OK, "%s",
                                            message.c_str());
    gtk_window_set_title(GTK_WINDOW(box), std::string(caption).c_str());
    gtk_window_set_keep_above(GTK_WINDOW(box), TRUE);
    gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
    while (gtk_events_pending())
        gtk_main_iteration_do(FALSE);
    return true;
}

}  // namespace vyla::linux
