#!/usr/bin/env python3
"""Writes resource/plug.uidesc, the editor's UI description, from the layout that
make_bitmaps.py draws its bitmaps for.

    python3 tools/resources/make_uidesc.py [OUTPUT_FILE]    (default: resource/plug.uidesc)

What the plug-in relies on: the template "view"; controls tagged with the parameter IDs
(0 Bypass, 1 Level, 2..16 the bands); the about area with the sub-controller
"AboutController" holding one text label (first) and one on/off button. The sliders set
no "mode", so they run the library-wide slider mode.
"""

import os
import sys

sys.dont_write_bytecode = True
import make_bitmaps as L  # noqa: E402

BANDS = ['25', '40', '63', '100', '160', '250', '400', '630', '1k', '1.6k', '2.5k', '4k', '6.3k', '10k', '16k']
BAND_TAGS = ['25Hz', '40Hz', '63Hz', '100Hz', '160Hz', '250Hz', '400Hz', '630Hz', '1kHz', '1.6kHz', '2.5kHz',
             '4kHz', '6.3kHz', '10kHz', '16kHz']


def attrs(**kw):
    return ' '.join('%s="%s"' % (k.replace('_', '-'), v) for k, v in kw.items())


def view(cls, x, y, w, h, **kw):
    return '    <view class="%s" origin="%d, %d" size="%d, %d" %s/>' % (cls, x, y, w, h, attrs(**kw))


def label(x, y, w, h, title, font='label', colour='text-dim', align='center'):
    return view('CTextLabel', x, y, w, h, title=title, font=font, font_color=colour, text_alignment=align,
                transparent='true', style_no_frame='true', mouse_enabled='false')


def display(x, y, w, h, tag, font='value'):
    return view('CParamDisplay', x, y, w, h, control_tag=tag, font=font, font_color='value-text',
                back_color='display-back', frame_color='display-frame', style_round_rect='true',
                round_rect_radius='3', text_alignment='center', mouse_enabled='false')


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..', '..', 'resource', 'plug.uidesc')
    lines = []
    add = lines.append
    add('<?xml version="1.0" encoding="UTF-8"?>')
    add('<vstgui-ui-description version="1">')
    add('  <bitmaps>')
    for name in ('background', 'slider_track', 'slider_handle', 'knob', 'bypass_button', 'about_button'):
        add('    <bitmap name="%s" path="%s.png"/>' % (name, name))
    add('  </bitmaps>')
    add('  <fonts>')
    add('    <font name="title" font-name="DejaVu Sans" size="20" bold="true"/>')
    add('    <font name="subtitle" font-name="DejaVu Sans" size="9"/>')
    add('    <font name="section" font-name="DejaVu Sans" size="10" bold="true"/>')
    add('    <font name="label" font-name="DejaVu Sans" size="10"/>')
    add('    <font name="scale" font-name="DejaVu Sans" size="9"/>')
    add('    <font name="value" font-name="DejaVu Sans Mono" size="9"/>')
    add('    <font name="value-big" font-name="DejaVu Sans Mono" size="12"/>')
    add('    <font name="about" font-name="DejaVu Sans" size="10"/>')
    add('  </fonts>')
    add('  <colors>')
    for name, rgba in (('text', '#E6EAF0FF'), ('text-dim', '#97A0ACFF'), ('text-faint', '#6A7380FF'),
                       ('accent', '#3CC8D8FF'), ('value-text', '#BFEFF5FF'), ('display-back', '#0D0F12FF'),
                       ('display-frame', '#2E343DFF'), ('knob-dot-shadow', '#0A0B0DFF')):
        add('    <color name="%s" rgba="%s"/>' % (name, rgba))
    add('  </colors>')
    add('  <control-tags>')
    add('    <control-tag name="Bypass" tag="0"/>')
    add('    <control-tag name="Level" tag="1"/>')
    for i, name in enumerate(BAND_TAGS):
        add('    <control-tag name="%s" tag="%d"/>' % (name, i + 2))
    add('  </control-tags>')
    add('  <template name="view" class="CViewContainer" origin="0, 0" size="%d, %d" bitmap="background">'
        % (L.EDITOR_W, L.EDITOR_H))

    # header
    add(label(28, 9, 260, 26, 'vd Palvis', font='title', colour='text', align='left'))
    add(label(29, 34, 260, 14, '15-BAND GRAPHIC EQUALISER', font='subtitle', colour='text-dim', align='left'))
    add(label(L.EDITOR_W - 216, 21, 200, 14, 'VARDEL SOFT', font='subtitle', colour='text-faint', align='right'))

    # band columns: value display, slider, frequency
    add(label(20, 80, 34, 18, 'dB', font='scale', colour='text-faint', align='right'))
    for db in (12, 6, 0, -6, -12):
        y = int(L.slider_value_centre_y((db + 12) / 24.0))
        add(label(20, y - 7, 26, 14, ('+%d' % db) if db > 0 else str(db), font='scale', colour='text-faint',
                  align='right'))
    add(label(20, 346, 34, 16, 'Hz', font='scale', colour='text-faint', align='right'))
    for i, band in enumerate(BANDS):
        cx = L.FIRST_COLUMN_X + i * L.COLUMN_STEP
        tag = BAND_TAGS[i]
        add(display(cx - 19, 80, 38, 18, tag))
        add(view('CSlider', cx - L.SLIDER_W // 2, L.SLIDER_TOP, L.SLIDER_W, L.SLIDER_H, control_tag=tag,
                 orientation='vertical', reverse_orientation='false', bitmap='slider_track',
                 handle_bitmap='slider_handle', tooltip=tag))
        add(label(cx - 19, 346, 38, 16, band))

    # output section: level knob and bypass
    px0, _, px1, _ = L.LEVEL_PANEL
    pcx = (px0 + px1) // 2
    add(label(px0, 80, px1 - px0, 18, 'LEVEL', font='section', colour='text-dim'))
    kx, ky = pcx - L.KNOB_SIZE // 2, 112
    add(view('CKnob', kx, ky, L.KNOB_SIZE, L.KNOB_SIZE, control_tag='Level', bitmap='knob',
             corona_drawing='true', corona_inset='3', corona_color='accent', circle_drawing='true',
             handle_color='accent', handle_shadow_color='knob-dot-shadow', handle_line_width='2',
             value_inset='20', tooltip='Level'))
    add(label(kx - 8, ky + 66, 28, 12, '-36', font='scale', colour='text-faint'))
    add(label(kx + L.KNOB_SIZE - 20, ky + 66, 28, 12, '+12', font='scale', colour='text-faint'))
    add(display(pcx - 34, ky + L.KNOB_SIZE + 12, 68, 20, 'Level', font='value-big'))
    add(label(pcx - 34, ky + L.KNOB_SIZE + 34, 68, 14, 'dB', font='scale', colour='text-faint'))
    add(label(px0, 318, px1 - px0, 18, 'BYPASS', font='section', colour='text-dim'))
    add(view('COnOffButton', pcx - 26, 344, 52, 22, control_tag='Bypass', bitmap='bypass_button',
             tooltip='Bypass'))

    # about area: the label first, then the button that shows or hides it
    add('    <view class="CViewContainer" origin="16, %d" size="%d, 30" sub-controller="AboutController" '
        'transparent="true">' % (L.FOOTER_Y + 10, L.EDITOR_W - 32))
    add('  ' + label(30, 4, 560, 22, '', font='about', colour='text-dim', align='left'))
    add('  ' + view('COnOffButton', 0, 4, 22, 22, bitmap='about_button', tooltip='About'))
    add('    </view>')
    add('  </template>')
    add('</vstgui-ui-description>')
    with open(out, 'w') as f:
        f.write('\n'.join(lines) + '\n')


if __name__ == '__main__':
    main()
