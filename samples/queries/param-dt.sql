-- description: Orders shipped since a moment (DT)
-- connection: Provider=SQLite;Data Source=sample.db
SELECT id, order_date, shipped_at
FROM orders
WHERE shipped_at >= ?DT_"Shipped since"?
ORDER BY shipped_at
