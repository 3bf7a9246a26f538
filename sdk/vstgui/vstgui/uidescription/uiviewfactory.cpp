#include "uiviewfactory.h"
#include "uiviewcreator.h"
#include "uiattributes.h"
#include "../lib/cview.h"
#include <algorithm>
#include <map>
#include <set>
#include <vector>

namespace VSTGUI {

namespace {

using Registry = std::map<std::string, std::vector<const IViewCreator*>>;

void addCreator (Registry& registry, const IViewCreator& creator)
{
	IdStringPtr name = creator.getViewName ();
	if (!name)
		return;
	auto& list = registry[name];
	list.erase (std::remove (list.begin (), list.end (), &creator), list.end ());
	list.push_back (&creator);
}

// Set once the registry has been destroyed with the module; calls that come later (from
// static creators that unregister while the module unloads) find nothing and change nothing.
// Trivially destructible, so it stays readable until the module is unmapped.
bool registryGone = false;

struct RegistryHolder
{
	Registry registry;
	RegistryHolder ()
	{
		// The library's own creators live as long as the registry.
		static const UIViewCreator::ViewCreator viewCreator;
		static const UIViewCreator::ViewContainerCreator viewContainerCreator;
		static const UIViewCreator::ControlCreator controlCreator;
		static const UIViewCreator::ParamDisplayCreator paramDisplayCreator;
		static const UIViewCreator::TextLabelCreator textLabelCreator;
		static const UIViewCreator::OnOffButtonCreator onOffButtonCreator;
		static const UIViewCreator::KnobCreator knobCreator;
		static const UIViewCreator::VerticalSwitchCreator verticalSwitchCreator;
		static const UIViewCreator::HorizontalSwitchCreator horizontalSwitchCreator;
		for (const IViewCreator* c :
		     std::initializer_list<const IViewCreator*> {&viewCreator, &viewContainerCreator, &controlCreator,
		                                                 &paramDisplayCreator, &textLabelCreator, &onOffButtonCreator,
		                                                 &knobCreator, &verticalSwitchCreator, &horizontalSwitchCreator})
			addCreator (registry, *c);
	}
	~RegistryHolder () { registryGone = true; }
};

/** The registry, or null once it has been destroyed. It is a static object (not a leaked
 *  allocation), so unloading the module frees it. */
Registry* registry ()
{
	if (registryGone)
		return nullptr;
	static RegistryHolder holder;
	return registryGone ? nullptr : &holder.registry;
}

constexpr size_t kMaxChainLength = 32;

/** Base classes' attributes (size among them) come before a class's own, which may change
 *  how the view lays itself out for its size (a slider's orientation after its size and
 *  handle): once all are applied, the view lays itself out again for the size it has. */
void relayout (CView* view)
{
	CRect size (view->getViewSize ());
	view->setViewSize (size, false);
}

} // anonymous

void UIViewFactory::registerViewCreator (const IViewCreator& viewCreator)
{
	if (auto reg = registry ())
		addCreator (*reg, viewCreator);
}

void UIViewFactory::unregisterViewCreator (const IViewCreator& viewCreator)
{
	auto reg = registry ();
	if (!reg)
		return;
	for (auto it = reg->begin (); it != reg->end ();)
	{
		auto& list = it->second;
		list.erase (std::remove (list.begin (), list.end (), &viewCreator), list.end ());
		if (list.empty ())
			it = reg->erase (it);
		else
			++it;
	}
}

const IViewCreator* UIViewFactory::getViewCreator (IdStringPtr className)
{
	if (!className)
		return nullptr;
	auto reg = registry ();
	if (!reg)
		return nullptr;
	auto it = reg->find (className);
	if (it == reg->end () || it->second.empty ())
		return nullptr;
	return it->second.back ();
}

std::list<const IViewCreator*> UIViewFactory::getCreatorChain (IdStringPtr className)
{
	std::list<const IViewCreator*> chain;
	std::set<const IViewCreator*> seen;
	const IViewCreator* creator = getViewCreator (className);
	while (creator && chain.size () < kMaxChainLength && seen.insert (creator).second)
	{
		chain.push_back (creator);
		creator = getViewCreator (creator->getBaseViewName ());
	}
	return chain;
}

//------------------------------------------------------------------------
CView* UIViewFactory::createView (const UIAttributes& attributes, const IUIDescription* description) const
{
	auto className = attributes.getAttributeValue ("class");
	if (!className)
		return nullptr;
	auto chain = getCreatorChain (className->c_str ());
	if (chain.empty ())
		return nullptr;
	CView* view = chain.front ()->create (attributes, description);
	if (!view)
		return nullptr;
	for (auto it = chain.rbegin (); it != chain.rend (); ++it)
		(*it)->apply (view, attributes, description);
	relayout (view);
	return view;
}

bool UIViewFactory::applyAttributeValues (CView* view, const UIAttributes& attributes,
                                          const IUIDescription* desc) const
{
	auto className = attributes.getAttributeValue ("class");
	return applyAttributeValues (view, className ? className->c_str () : "CView", attributes, desc);
}

bool UIViewFactory::applyAttributeValues (CView* view, IdStringPtr className, const UIAttributes& attributes,
                                          const IUIDescription* desc) const
{
	if (!view)
		return false;
	auto chain = getCreatorChain (className);
	if (chain.empty ())
		chain = getCreatorChain ("CView");
	bool result = false;
	for (auto it = chain.rbegin (); it != chain.rend (); ++it)
		result = (*it)->apply (view, attributes, desc) || result;
	relayout (view);
	return result;
}

bool UIViewFactory::getAttributeValue (CView* view, IdStringPtr className, const std::string& attributeName,
                                       std::string& stringValue, const IUIDescription* desc) const
{
	for (auto* creator : getCreatorChain (className))
	{
		if (creator->getAttributeValue (view, attributeName, stringValue, desc))
			return true;
	}
	return false;
}

bool UIViewFactory::getAttributeNamesForViewClass (IdStringPtr className,
                                                   std::list<std::string>& attributeNames) const
{
	auto chain = getCreatorChain (className);
	if (chain.empty ())
		return false;
	for (auto it = chain.rbegin (); it != chain.rend (); ++it)
		(*it)->getAttributeNames (attributeNames);
	return true;
}

} // VSTGUI
