#include "uidescription.h"
#include "uiviewfactory.h"
#include "uiviewcreator.h"
#include "icontroller.h"
#include "../lib/cview.h"
#include "../lib/cviewcontainer.h"
#include "../lib/cbitmap.h"
#include "../lib/cfont.h"
#include <expat.h>
#include <cstdio>
#include <cstring>

namespace VSTGUI {

IdStringPtr IUIDescription::kCustomViewName = "custom-view-name";

struct UIDescription::Node
{
	std::string name;
	UIAttributes attributes;
	std::vector<std::unique_ptr<Node>> children;

	~Node ()
	{
		// Depth is bounded by the parser, so plain recursive destruction is safe.
	}
};

struct UIDescription::BitmapEntry
{
	std::string path;
	SharedPointer<CBitmap> bitmap;
	bool tried {false};
};

namespace {

const char* const kRootName = "vstgui-ui-description";
const char* const kSections[] = {"bitmaps", "fonts", "colors", "control-tags", "variables", "gradients", "template",
                                 "custom"};

struct StandardColor
{
	const char* name;
	CColor color;
};
const StandardColor kStandardColors[] = {
    {"~ BlackCColor", kBlackCColor},   {"~ WhiteCColor", kWhiteCColor},     {"~ GreyCColor", kGreyCColor},
    {"~ RedCColor", kRedCColor},       {"~ GreenCColor", kGreenCColor},     {"~ BlueCColor", kBlueCColor},
    {"~ YellowCColor", kYellowCColor}, {"~ CyanCColor", kCyanCColor},       {"~ MagentaCColor", kMagentaCColor},
    {"~ TransparentCColor", kTransparentCColor}, {"~ LtGreyCColor", CColor (184, 184, 184, 255)}};

CFontDesc* standardFont (const std::string& name)
{
	if (name == "~ SystemFont")
		return kSystemFont;
	if (name == "~ NormalFontVeryBig")
		return kNormalFontVeryBig;
	if (name == "~ NormalFontBig")
		return kNormalFontBig;
	if (name == "~ NormalFont")
		return kNormalFont;
	if (name == "~ NormalFontSmall")
		return kNormalFontSmall;
	if (name == "~ NormalFontSmaller")
		return kNormalFontSmaller;
	if (name == "~ NormalFontVerySmall")
		return kNormalFontVerySmall;
	if (name == "~ SymbolFont")
		return kSymbolFont;
	return nullptr;
}

bool parseByte (const std::string* text, uint8_t& out)
{
	int32_t v;
	if (!text || !UIAttributes::stringToInteger (*text, v) || v < 0 || v > 255)
		return false;
	out = static_cast<uint8_t> (v);
	return true;
}

/** A tag: decimal, or four characters in single quotes ('abcd'). */
bool parseTag (const std::string& text, int32_t& tag)
{
	if (text.size () == 6 && text.front () == '\'' && text.back () == '\'')
	{
		uint32_t v = 0;
		for (size_t i = 1; i < 5; ++i)
			v = (v << 8) | static_cast<uint8_t> (text[i]);
		tag = static_cast<int32_t> (v);
		return true;
	}
	return UIAttributes::stringToInteger (text, tag);
}

/** Adds the name of every entry of a name-keyed table, in the table's order. */
template <typename Table>
void collectNames (const Table& table, std::list<const std::string*>& names)
{
	for (const auto& entry : table)
		names.push_back (&entry.first);
}

} // anonymous

//------------------------------------------------------------------------
struct UIDescription::ParseState
{
	XML_Parser parser {nullptr};
	std::unique_ptr<Node> root;
	std::vector<Node*> stack;
	std::string error;

	void fail (const std::string& message)
	{
		if (error.empty ())
		{
			char line[64];
			std::snprintf (line, sizeof (line), " (line %lu)",
			               static_cast<unsigned long> (XML_GetCurrentLineNumber (parser)));
			error = message + line;
		}
		XML_StopParser (parser, XML_FALSE);
	}

	static void XMLCALL startElement (void* userData, const XML_Char* name, const XML_Char** atts)
	{
		auto* self = static_cast<ParseState*> (userData);
		if (!self->error.empty ())
			return;
		const size_t depth = self->stack.size ();
		if (depth >= static_cast<size_t> (kMaxNestingDepth))
		{
			self->fail ("elements nested deeper than " + std::to_string (kMaxNestingDepth) + " levels");
			return;
		}
		auto node = std::make_unique<Node> ();
		node->name = name;
		for (size_t i = 0; atts && atts[i] && atts[i + 1]; i += 2)
			node->attributes.setAttribute (atts[i], atts[i + 1]);
		if (depth == 0)
		{
			if (node->name != kRootName)
			{
				self->fail ("root element is '" + node->name + "', expected '" + kRootName + "'");
				return;
			}
			auto version = node->attributes.getAttributeValue ("version");
			if (version && *version != "1")
			{
				self->fail ("unsupported version '" + *version + "'");
				return;
			}
			self->root = std::move (node);
			self->stack.push_back (self->root.get ());
			return;
		}
		if (depth == 1)
		{
			bool known = false;
			for (auto s : kSections)
				known = known || node->name == s;
			if (!known)
			{
				self->fail ("unknown section '" + node->name + "'");
				return;
			}
		}
		Node* raw = node.get ();
		self->stack.back ()->children.push_back (std::move (node));
		self->stack.push_back (raw);
	}

	static void XMLCALL endElement (void* userData, const XML_Char*)
	{
		auto* self = static_cast<ParseState*> (userData);
		if (!self->stack.empty ())
			self->stack.pop_back ();
	}

	static void XMLCALL entityDecl (void* userData, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
	                                const XML_Char*, const XML_Char*, const XML_Char*)
	{
		static_cast<ParseState*> (userData)->fail ("entity declarations are not allowed");
	}
};

//------------------------------------------------------------------------
UIDescription::UIDescription (const CResourceDescription& xmlFile, IViewFactory* factory)
: xmlFile (xmlFile), viewFactory (factory)
{
	if (!viewFactory)
	{
		ownFactory = std::make_unique<UIViewFactory> ();
		viewFactory = ownFactory.get ();
	}
}

UIDescription::~UIDescription () noexcept = default;

void UIDescription::clear ()
{
	root.reset ();
	templates.clear ();
	bitmaps.clear ();
	fonts.clear ();
	colors.clear ();
	controlTags.clear ();
	variables.clear ();
	parsed = false;
}

bool UIDescription::parse ()
{
	std::string path = resolveResourcePath (xmlFile);
	if (path.empty ())
	{
		clear ();
		lastError = "no description file given";
		return false;
	}
	FILE* file = std::fopen (path.c_str (), "rb");
	if (!file)
	{
		clear ();
		lastError = "cannot open '" + path + "'";
		return false;
	}
	std::string content;
	char buffer[65536];
	size_t n;
	bool tooLarge = false;
	while ((n = std::fread (buffer, 1, sizeof (buffer), file)) > 0)
	{
		content.append (buffer, n);
		if (content.size () > kMaxFileSize)
		{
			tooLarge = true;
			break;
		}
	}
	std::fclose (file);
	if (tooLarge)
	{
		clear ();
		lastError = "'" + path + "' is larger than " + std::to_string (kMaxFileSize) + " bytes";
		return false;
	}
	return parseFromMemory (content.data (), content.size ());
}

bool UIDescription::parseFromMemory (const void* data, size_t size)
{
	clear ();
	lastError.clear ();
	if (!data && size)
	{
		lastError = "no data";
		return false;
	}
	if (size > kMaxFileSize)
	{
		lastError = "description is larger than " + std::to_string (kMaxFileSize) + " bytes";
		return false;
	}
	ParseState state;
	state.parser = XML_ParserCreate ("UTF-8");
	if (!state.parser)
	{
		lastError = "out of memory";
		return false;
	}
	XML_SetUserData (state.parser, &state);
	XML_SetElementHandler (state.parser, &ParseState::startElement, &ParseState::endElement);
	XML_SetEntityDeclHandler (state.parser, &ParseState::entityDecl);
	XML_Status status = XML_Parse (state.parser, static_cast<const char*> (data), static_cast<int> (size), XML_TRUE);
	if (status == XML_STATUS_ERROR && state.error.empty ())
	{
		char line[64];
		std::snprintf (line, sizeof (line), " (line %lu)",
		               static_cast<unsigned long> (XML_GetCurrentLineNumber (state.parser)));
		state.error = std::string ("XML error: ") + XML_ErrorString (XML_GetErrorCode (state.parser)) + line;
	}
	XML_ParserFree (state.parser);
	if (!state.error.empty ())
	{
		lastError = state.error;
		return false;
	}
	if (!state.root)
	{
		lastError = "no root element";
		return false;
	}
	root = std::move (state.root);
	if (!readSections ())
	{
		clear ();
		return false;
	}
	parsed = true;
	return true;
}

bool UIDescription::readSections ()
{
	for (const auto& section : root->children)
	{
		const std::string& kind = section->name;
		if (kind == "template")
		{
			auto name = section->attributes.getAttributeValue ("name");
			if (!name || name->empty ())
			{
				lastError = "a template has no name";
				return false;
			}
			if (!getViewAttributes (name->c_str ()))
				templates.emplace_back (*name, section.get ());
			continue;
		}
		for (const auto& item : section->children)
		{
			const UIAttributes& a = item->attributes;
			auto name = a.getAttributeValue ("name");
			if (!name || name->empty ())
				continue;
			if (kind == "bitmaps" && item->name == "bitmap")
			{
				auto path = a.getAttributeValue ("path");
				if (!path)
					continue;
				auto entry = std::make_unique<BitmapEntry> ();
				entry->path = *path;
				bitmaps[*name] = std::move (entry);
			}
			else if (kind == "fonts" && item->name == "font")
			{
				auto family = a.getAttributeValue ("font-name");
				double size = 12.;
				a.getDoubleAttribute ("size", size);
				if (!(size > 0.) || size > 1000.)
					size = 12.;
				int32_t style = 0;
				bool b;
				if (a.getBooleanAttribute ("bold", b) && b)
					style |= kBoldFace;
				if (a.getBooleanAttribute ("italic", b) && b)
					style |= kItalicFace;
				if (a.getBooleanAttribute ("underline", b) && b)
					style |= kUnderlineFace;
				if (a.getBooleanAttribute ("strike-through", b) && b)
					style |= kStrikethroughFace;
				fonts[*name] = makeOwned<CFontDesc> (
				    UTF8String (family && !family->empty () ? *family : CFontDesc::getDefaultFamily ()), size, style);
			}
			else if (kind == "colors" && item->name == "color")
			{
				CColor c;
				if (auto rgba = a.getAttributeValue ("rgba"))
				{
					if (!c.fromString (rgba->c_str ()))
						continue;
				}
				else if (auto rgb = a.getAttributeValue ("rgb"))
				{
					if (rgb->size () != 7 || !c.fromString (rgb->c_str ()))
						continue;
				}
				else
				{
					uint8_t r = 0, g = 0, bl = 0, al = 255;
					if (!parseByte (a.getAttributeValue ("red"), r) || !parseByte (a.getAttributeValue ("green"), g) ||
					    !parseByte (a.getAttributeValue ("blue"), bl))
						continue;
					if (a.hasAttribute ("alpha") && !parseByte (a.getAttributeValue ("alpha"), al))
						continue;
					c = CColor (r, g, bl, al);
				}
				colors[*name] = c;
			}
			else if (kind == "control-tags" && item->name == "control-tag")
			{
				int32_t tag;
				auto text = a.getAttributeValue ("tag");
				if (text && parseTag (*text, tag))
					controlTags[*name] = tag;
			}
			else if (kind == "variables" && item->name == "var")
			{
				if (auto value = a.getAttributeValue ("value"))
					variables[*name] = *value;
			}
		}
	}
	return true;
}

//------------------------------------------------------------------------
const UIAttributes* UIDescription::getViewAttributes (UTF8StringPtr name) const
{
	if (!name)
		return nullptr;
	for (const auto& t : templates)
	{
		if (t.first == name)
			return &t.second->attributes;
	}
	return nullptr;
}

CView* UIDescription::createView (UTF8StringPtr name, IController* controller) const
{
	if (!parsed)
	{
		lastError = "the description has not been read";
		return nullptr;
	}
	const Node* node = nullptr;
	for (const auto& t : templates)
	{
		if (name && t.first == name)
			node = t.second;
	}
	if (!node)
	{
		lastError = std::string ("no template named '") + (name ? name : "") + "'";
		return nullptr;
	}
	// Restores the controller state also when a controller throws.
	struct Scope
	{
		const UIDescription& d;
		IController* savedActive;
		bool savedCreating;
		Scope (const UIDescription& d, IController* c) : d (d), savedActive (d.activeController), savedCreating (d.creating)
		{
			d.activeController = c;
			d.creating = true;
		}
		~Scope ()
		{
			d.activeController = savedActive;
			d.creating = savedCreating;
		}
	} scope (*this, controller);
	std::set<std::string> activeTemplates {name};
	lastError.clear ();
	CView* view = createViewFromNode (*node, 0, activeTemplates);
	if (!view && lastError.empty ())
		lastError = std::string ("template '") + name + "' has no view class with a creator";
	return view;
}

CView* UIDescription::createViewFromNode (const Node& node, int32_t depth,
                                          std::set<std::string>& activeTemplates) const
{
	if (depth > kMaxNestingDepth)
		return nullptr;

	// A view that names a template is built from that template, with its own attributes on top.
	const Node* source = &node;
	UIAttributes attributes = node.attributes;
	std::string referencedTemplate;
	if (node.name == "view")
	{
		if (auto templateName = node.attributes.getAttributeValue (UIViewCreator::kAttrTemplate))
		{
			const Node* t = nullptr;
			for (const auto& entry : templates)
			{
				if (entry.first == *templateName)
					t = entry.second;
			}
			if (!t || activeTemplates.count (*templateName))
				return nullptr;
			referencedTemplate = *templateName;
			source = t;
			attributes = t->attributes;
			for (const auto& a : node.attributes)
			{
				if (a.first != UIViewCreator::kAttrTemplate && a.first != UIViewCreator::kAttrName)
					attributes.setAttribute (a.first, a.second);
			}
		}
	}
	struct TemplateGuard
	{
		std::set<std::string>& set;
		std::string name;
		~TemplateGuard ()
		{
			if (!name.empty ())
				set.erase (name);
		}
	} templateGuard {activeTemplates, referencedTemplate};
	if (!referencedTemplate.empty ())
		activeTemplates.insert (referencedTemplate);

	IController* const parentController = activeController;
	struct ControllerGuard
	{
		const UIDescription& d;
		IController* saved;
		IController* sub {nullptr};
		~ControllerGuard ()
		{
			d.activeController = saved;
			if (sub) // not handed to a view
			{
				if (auto ref = dynamic_cast<IReference*> (sub))
					ref->forget ();
				else
					delete sub;
			}
		}
	} controllerGuard {*this, parentController};

	if (auto subName = attributes.getAttributeValue (UIViewCreator::kAttrSubController))
	{
		if (parentController)
		{
			controllerGuard.sub = parentController->createSubController (subName->c_str (), this);
			if (controllerGuard.sub)
				activeController = controllerGuard.sub;
		}
	}

	SharedPointer<CView> view;
	if (attributes.hasAttribute (UIViewCreator::kAttrCustomViewName) && activeController)
	{
		if (auto custom = activeController->createView (attributes, this))
		{
			view = owned (custom);
			auto className = attributes.getAttributeValue (UIViewCreator::kAttrClass);
			viewFactory->applyAttributeValues (view, className ? className->c_str () : "CView", attributes, this);
		}
	}
	if (!view)
		view = owned (viewFactory->createView (attributes, this));
	if (!view)
		return nullptr;

	if (auto container = view->asViewContainer ())
	{
		for (const auto& child : source->children)
		{
			if (child->name != "view")
				continue;
			if (auto childView = createViewFromNode (*child, depth + 1, activeTemplates))
			{
				if (!container->addView (childView))
					childView->forget ();
			}
		}
	}

	if (activeController)
	{
		CView* verified = activeController->verifyView (view, attributes, this);
		if (verified != view.get ())
		{
			// A replaced view that the controller did not keep inside the new one goes.
			if (view->getParentView ())
				view.take ();
			view = verified ? owned (verified) : nullptr;
			if (!view)
				return nullptr;
		}
	}

	if (controllerGuard.sub)
	{
		view->setViewController (controllerGuard.sub);
		controllerGuard.sub = nullptr;
	}
	return view.take ();
}

//------------------------------------------------------------------------
CBitmap* UIDescription::getBitmap (UTF8StringPtr name) const
{
	if (!name)
		return nullptr;
	auto it = bitmaps.find (name);
	if (it == bitmaps.end ())
		return nullptr;
	BitmapEntry& entry = *it->second;
	if (!entry.tried)
	{
		entry.tried = true;
		auto bitmap = makeOwned<CBitmap> (CResourceDescription (entry.path));
		if (bitmap->isLoaded ())
			entry.bitmap = bitmap;
	}
	return entry.bitmap;
}

CFontDesc* UIDescription::getFont (UTF8StringPtr name) const
{
	if (!name)
		return nullptr;
	auto it = fonts.find (name);
	if (it != fonts.end ())
		return it->second;
	return standardFont (name);
}

bool UIDescription::getColor (UTF8StringPtr name, CColor& color) const
{
	if (!name)
		return false;
	if (name[0] == '#')
		return color.fromString (name);
	auto it = colors.find (name);
	if (it != colors.end ())
	{
		color = it->second;
		return true;
	}
	for (const auto& c : kStandardColors)
	{
		if (std::strcmp (c.name, name) == 0)
		{
			color = c.color;
			return true;
		}
	}
	return false;
}

int32_t UIDescription::getTagForName (UTF8StringPtr name) const
{
	if (!name)
		return -1;
	int32_t tag = -1;
	auto it = controlTags.find (name);
	if (it != controlTags.end ())
		tag = it->second;
	if (auto c = getController ())
		tag = c->getTagForName (name, tag);
	return tag;
}

IControlListener* UIDescription::getControlListener (UTF8StringPtr name) const
{
	auto c = getController ();
	return c ? c->getControlListener (name) : nullptr;
}

IController* UIDescription::getController () const
{
	return creating ? activeController : mainController;
}

UTF8StringPtr UIDescription::lookupColorName (const CColor& color) const
{
	for (const auto& c : colors)
	{
		if (c.second == color)
			return c.first.c_str ();
	}
	return nullptr;
}

UTF8StringPtr UIDescription::lookupFontName (const CFontDesc* font) const
{
	if (!font)
		return nullptr;
	for (const auto& f : fonts)
	{
		if (f.second.get () == font || *f.second == *font)
			return f.first.c_str ();
	}
	return nullptr;
}

UTF8StringPtr UIDescription::lookupBitmapName (const CBitmap* bitmap) const
{
	if (!bitmap)
		return nullptr;
	for (const auto& b : bitmaps)
	{
		if (b.second->bitmap.get () == bitmap)
			return b.first.c_str ();
	}
	return nullptr;
}

UTF8StringPtr UIDescription::lookupControlTagName (const int32_t tag) const
{
	for (const auto& t : controlTags)
	{
		if (t.second == tag)
			return t.first.c_str ();
	}
	return nullptr;
}

bool UIDescription::getVariable (UTF8StringPtr name, double& value) const
{
	std::string text;
	return getVariable (name, text) && UIAttributes::stringToDouble (text, value);
}

bool UIDescription::getVariable (UTF8StringPtr name, std::string& value) const
{
	if (!name)
		return false;
	auto it = variables.find (name);
	if (it == variables.end ())
		return false;
	value = it->second;
	return true;
}

void UIDescription::collectTemplateViewNames (std::list<const std::string*>& names) const
{
	collectNames (templates, names);
}

void UIDescription::collectColorNames (std::list<const std::string*>& names) const
{
	collectNames (colors, names);
}

void UIDescription::collectFontNames (std::list<const std::string*>& names) const
{
	collectNames (fonts, names);
}

void UIDescription::collectBitmapNames (std::list<const std::string*>& names) const
{
	collectNames (bitmaps, names);
}

void UIDescription::collectControlTagNames (std::list<const std::string*>& names) const
{
	collectNames (controlTags, names);
}

const IViewFactory* UIDescription::getViewFactory () const
{
	return viewFactory;
}

} // VSTGUI
