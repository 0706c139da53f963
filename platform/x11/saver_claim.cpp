#include "x11/saver_claim.h"

#include <string>

namespace vyla::x11 {

std::unique_ptr<SaverClaim> SaverClaim::Take(XConnection& connection)
{
    Display* display = connection.Get();
    std::string name = "VYLA_SAVER_" + std::to_string(connection.ScreenNumber());
    Atom selection = XInternAtom(display, name.c_str(), False);
    // An unmapped window of our own owns the selection for as long as we run.
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    ::Window owner = XCreateWindow(display, connection.Root(), -1, -1, 1, 1, 0, 0, InputOnly, CopyFromParent,
                                   CWOverrideRedirect, &attributes);
    // Looking and taking as one step: two savers started together cannot
    // both find the selection free.
    XGrabServer(display);
    bool free = XGetSelectionOwner(display, selection) == None;
    if (free)
        XSetSelectionOwner(display, selection, owner, CurrentTime);
    XUngrabServer(display);
    free = free && XGetSelectionOwner(display, selection) == owner;
    if (!free) {
        XDestroyWindow(display, owner);
        XFlush(display);
        return nullptr;
    }
    return std::unique_ptr<SaverClaim>(new SaverClaim(connection, owner));
}

SaverClaim::SaverClaim(XConnection& connection, ::Window owner) : connection_(connection), owner_(owner)
{
}

SaverClaim::~SaverClaim()
{
    if (connection_.Lost())
        return;
    XDestroyWindow(connection_.Get(), owner_);
    XFlush(connection_.Get());
}

bool SaverClaim::Answer(const XEvent& event)
{
    if (event.type != SelectionRequest || event.xselectionrequest.owner != owner_)
        return false;
    // Refused (no property): the claim carries no data.
    const XSelectionRequestEvent& request = event.xselectionrequest;
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = request.display;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.property = None;
    reply.xselection.time = request.time;
    XSendEvent(connection_.Get(), request.requestor, False, NoEventMask, &reply);
    XFlush(connection_.Get());
    return true;
}

}  // namespace vyla::x11
