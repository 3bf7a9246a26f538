// The view factory and the process-wide registry of view creators.
//
// Creators are registered by class name with registerViewCreator(); the registry holds
// pointers, so a creator must outlive its registration (unregister before it goes).
// Registering a second creator under a name shadows the first until it is unregistered.
// The library's own creators (CView, CViewContainer, CControl, CParamDisplay,
// CTextLabel, COnOffButton, CKnob, CVerticalSwitch, CHorizontalSwitch) are registered
// the first time the registry is used, without relying on static initialisers.
#pragma once

#include "iviewfactory.h"
#include "iviewcreator.h"
#include <list>
#include <string>

namespace VSTGUI {

class UIViewFactory : public IViewFactory
{
public:
	UIViewFactory () = default;
	~UIViewFactory () noexcept override = default;

	CView* createView (const UIAttributes& attributes, const IUIDescription* description) const override;
	bool applyAttributeValues (CView* view, const UIAttributes& attributes,
	                           const IUIDescription* desc) const override;
	bool applyAttributeValues (CView* view, IdStringPtr className, const UIAttributes& attributes,
	                           const IUIDescription* desc) const override;
	/** Writes an attribute of a view back as text, asking the creators of className's chain. */
	bool getAttributeValue (CView* view, IdStringPtr className, const std::string& attributeName,
	                        std::string& stringValue, const IUIDescription* desc) const;
	/** Attribute names of className's chain, base classes first. */
	bool getAttributeNamesForViewClass (IdStringPtr className, std::list<std::string>& attributeNames) const;

	static void registerViewCreator (const IViewCreator& viewCreator);
	static void unregisterViewCreator (const IViewCreator& viewCreator);
	/** The creator currently registered for a class name, or null. */
	static const IViewCreator* getViewCreator (IdStringPtr className);
	static bool isRegistered (IdStringPtr className) { return getViewCreator (className) != nullptr; }
	/** The chain from className to its root, most derived first; empty for unknown names.
	 *  Stops at cycles and after 32 steps. */
	static std::list<const IViewCreator*> getCreatorChain (IdStringPtr className);
};

} // VSTGUI
