# Pixel probes of examples/hello rendered headlessly in the style "Windows" at 96 DPI: a
# 360 x 200 client area in the window's frame.
set(HELLO_PROBES
  376x239                       # the window, frame included
  100,93<>100,100                # the tool-bar panel's bottom bevel against the form:
  100,93=A0A0A0                  #   its shadow line
  100,94=FFFFFF                  #   and its light line
  18,40,150,40:ink>=600         # the glowing title on the panel
  20,112,110,20:ink>=30         # the greeting label
  22,146,18,18:ink>=20          # the check box
  22,176,126,36:ink>=200)       # the button
set(HELLO_GREETED_PROBES 376x239 18,40,150,40:ink>=600 22,176,126,36:ink>=200)
# The greeting's rectangle: the button's handler changes its text.
set(HELLO_GREETING 20,112,110,20)
# In the embedded custom style "Glow" (a resource registered from a static initialiser of the
# style engine's library): its own, smaller frame and dark colours.
set(HELLO_GLOW_PROBES 368x234 300,200=1D2027 300,60=22252D)
