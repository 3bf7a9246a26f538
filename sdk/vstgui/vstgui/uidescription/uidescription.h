// Reads a UI description (.uidesc XML) and builds view trees from its templates.
//
// parse() reads the file named by the resource description (resolved against the
// resource directory) with expat; parseFromMemory() reads text already in memory. A
// malformed description (bad XML, a wrong root, an unknown section, nesting deeper than
// kMaxNestingDepth, entity declarations) fails with a message in getLastError().
// createView() builds a template: nested views through the view factory, control tags
// resolved by name, sub-controllers asked from the active controller (owned by the view
// that names them and deleted before that view's children), verifyView() of the active
// controller for every view, after its children.
#pragma once

#include "iuidescription.h"
#include "uiattributes.h"
#include "../lib/cresourcedescription.h"
#include "../lib/ccolor.h"
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace VSTGUI {

class UIDescription : public CBaseObject, public IUIDescription
{
public:
	static constexpr int32_t kMaxNestingDepth = 64;
	static constexpr size_t kMaxFileSize = 16 * 1024 * 1024;

	explicit UIDescription (const CResourceDescription& xmlFile, IViewFactory* viewFactory = nullptr);
	~UIDescription () noexcept override;

	bool parse ();
	bool parseFromMemory (const void* data, size_t size);
	bool isParsed () const { return parsed; }
	/** Why the last parse() or createView() failed; empty after success. */
	const std::string& getLastError () const { return lastError; }
	UTF8StringPtr getFilePath () const { return xmlFile.name.c_str (); }

	/** The controller asked for tags, listeners and sub-controllers outside createView. */
	void setController (IController* controller) { mainController = controller; }

	// IUIDescription
	CView* createView (UTF8StringPtr name, IController* controller) const override;
	const UIAttributes* getViewAttributes (UTF8StringPtr name) const override;
	CBitmap* getBitmap (UTF8StringPtr name) const override;
	CFontDesc* getFont (UTF8StringPtr name) const override;
	bool getColor (UTF8StringPtr name, CColor& color) const override;
	int32_t getTagForName (UTF8StringPtr name) const override;
	IControlListener* getControlListener (UTF8StringPtr name) const override;
	IController* getController () const override;
	UTF8StringPtr lookupColorName (const CColor& color) const override;
	UTF8StringPtr lookupFontName (const CFontDesc* font) const override;
	UTF8StringPtr lookupBitmapName (const CBitmap* bitmap) const override;
	UTF8StringPtr lookupControlTagName (const int32_t tag) const override;
	bool getVariable (UTF8StringPtr name, double& value) const override;
	bool getVariable (UTF8StringPtr name, std::string& value) const override;
	void collectTemplateViewNames (std::list<const std::string*>& names) const override;
	void collectColorNames (std::list<const std::string*>& names) const override;
	void collectFontNames (std::list<const std::string*>& names) const override;
	void collectBitmapNames (std::list<const std::string*>& names) const override;
	void collectControlTagNames (std::list<const std::string*>& names) const override;
	const IViewFactory* getViewFactory () const override;

	struct Node;

private:
	struct BitmapEntry;
	struct ParseState;
	friend struct ParseState;

	void clear ();
	bool readSections ();
	CView* createViewFromNode (const Node& node, int32_t depth, std::set<std::string>& activeTemplates) const;

	CResourceDescription xmlFile;
	IViewFactory* viewFactory;
	std::unique_ptr<IViewFactory> ownFactory;
	std::unique_ptr<Node> root;
	std::vector<std::pair<std::string, const Node*>> templates;
	std::map<std::string, std::unique_ptr<BitmapEntry>> bitmaps;
	std::map<std::string, SharedPointer<CFontDesc>> fonts;
	std::map<std::string, CColor> colors;
	std::map<std::string, int32_t> controlTags;
	std::map<std::string, std::string> variables;
	IController* mainController {nullptr};
	mutable IController* activeController {nullptr};
	mutable bool creating {false};
	mutable std::string lastError;
	bool parsed {false};
};

} // VSTGUI
